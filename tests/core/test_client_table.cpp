#include "core/ClientTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace orvj;
using F = ClientRecord::Field;

// Records what it was asked to write, then fails or answers with a scripted outcome.
class ScriptedWriter : public RecordWriter {
public:
    bool fail = false;
    Outcome outcome;
    mutable int calls = 0;
    mutable std::string nameSeen;

    Outcome writeRecord(ClientTable& table, int slot) const override {
        ++calls;
        nameSeen = table.at(slot).trimmed(F::Name);
        if (fail) {
            throw std::runtime_error("DATA301.OVJ: cannot write record " + std::to_string(slot));
        }
        return outcome;
    }
};

ClientTable twoClients() {
    ClientTable table;
    table.at(1).set(F::Name, "ADAMS");
    table.at(2).set(F::Name, "BAKER");
    table.at(2).set(F::EditCount, "1");
    table.clientCount = 2;
    table.currentClient = 2;
    return table;
}

TEST(ClientTableSave, WritesTheChangedRecordAndPassesTheOutcomeOn) {
    ClientTable table = twoClients();
    ScriptedWriter writer;
    writer.outcome = {2, true};
    const RecordSave save =
        table.saveCurrent([](ClientRecord& r) { r.set(F::Name, "BAKER JR"); }, writer);
    EXPECT_TRUE(save.saved);
    EXPECT_EQ(save.slot, 2);
    EXPECT_TRUE(save.reloaded);
    EXPECT_TRUE(save.fault.empty());
    EXPECT_EQ(writer.nameSeen, "BAKER JR"); // the writer gets the record already changed
    EXPECT_EQ(table.at(2).trimmed(F::Name), "BAKER JR");
}

TEST(ClientTableSave, AFailedWriteRestoresTheRecordAndNamesIt) {
    ClientTable table = twoClients();
    const ClientTable before = table;
    ScriptedWriter writer;
    writer.fail = true;
    const RecordSave save = table.saveRecord(
        2,
        [](ClientRecord& r) {
            r.set(F::Name, "CHANGED");
            r.set(F::EditCount, "2");
        },
        writer);
    EXPECT_EQ(writer.calls, 1);
    EXPECT_FALSE(save.saved);
    EXPECT_FALSE(save.reloaded);
    EXPECT_EQ(save.slot, 2);
    EXPECT_EQ(save.fault, "DATA301.OVJ: cannot write record 2");
    EXPECT_EQ(table.records, before.records);
    EXPECT_EQ(table.clientCount, 2);
    EXPECT_EQ(table.currentClient, 2);

    // The same table saves once the writer works again.
    writer.fail = false;
    writer.outcome = {2, false};
    EXPECT_TRUE(table
                    .saveRecord(
                        2, [](ClientRecord& r) { r.set(F::Age, "15"); }, writer)
                    .saved);
    EXPECT_EQ(table.at(2).trimmed(F::Age), "15");
    EXPECT_EQ(table.at(2).trimmed(F::Name), "BAKER");
}

TEST(ClientTableSave, ANewClientTakesTheRecordNumberTheWriterGaveIt) {
    ClientTable table = twoClients();
    table.currentClient = 3;
    ScriptedWriter writer;
    writer.outcome = {4, true}; // another program stored a third client meanwhile
    const RecordSave save =
        table.saveCurrent([](ClientRecord& r) { r.set(F::Name, "NEW"); }, writer);
    EXPECT_TRUE(save.saved);
    EXPECT_EQ(save.slot, 4);
}

TEST(ClientTable, DroppingTheNewClientClearsItsSlotAndReturnsToRecordOne) {
    ClientTable table = twoClients();
    table.currentClient = 3;
    table.at(3).set(F::Name, "ABANDONED");
    table.dropNewClient();
    EXPECT_TRUE(table.at(3).isCleared());
    EXPECT_EQ(table.currentClient, 1);
    EXPECT_EQ(table.clientCount, 2);
    EXPECT_EQ(table.at(1).trimmed(F::Name), "ADAMS");

    table.currentClient = 0;
    table.chooseDefaultClient();
    EXPECT_EQ(table.currentClient, 1);
    table.currentClient = 2;
    table.chooseDefaultClient();
    EXPECT_EQ(table.currentClient, 2);
}

} // namespace
