#include "core/ClientTable.h"

#include "tests/support/FakeRecordWriter.h"

#include <gtest/gtest.h>

namespace {

using namespace orvj;
using F = ClientRecord::Field;

using test::FakeRecordWriter;

ClientTable twoClients() {
    ClientTable table;
    table.at(1).set(F::Name, "ADAMS");
    table.at(2).set(F::Name, "BAKER");
    table.at(2).set(F::EditCount, "1");
    table.clientCount = 2;
    table.currentClient = 2;
    return table;
}

// The writer may store a new client in a later record than asked (another program stored one
// meanwhile) and may have reloaded the table: the save passes both on.
TEST(ClientTableSave, WritesTheChangedRecordAndPassesTheOutcomeOn) {
    const struct {
        const char* name;
        int slot;
        RecordWriter::Outcome outcome;
    } cases[] = {{"an edit after a reload", 2, {2, true}}, {"a new client moved on", 3, {4, true}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClientTable table = twoClients();
        table.currentClient = static_cast<std::int16_t>(c.slot);
        FakeRecordWriter writer;
        writer.outcome = c.outcome;
        const RecordSave save =
            table.saveCurrent([](ClientRecord& r) { r.set(F::Name, "BAKER JR"); }, writer);
        EXPECT_TRUE(save.saved);
        EXPECT_EQ(save.slot, c.outcome.slot);
        EXPECT_TRUE(save.reloaded);
        EXPECT_TRUE(save.fault.empty());
        EXPECT_EQ(writer.nameSeen, "BAKER JR"); // the writer gets the record already changed
        EXPECT_EQ(table.at(c.slot).trimmed(F::Name), "BAKER JR");
    }
}

TEST(ClientTableSave, AFailedWriteRestoresTheRecordAndNamesIt) {
    ClientTable table = twoClients();
    const ClientTable before = table;
    FakeRecordWriter writer;
    writer.failures = 1;
    const RecordSave save = table.saveRecord(
        2, [](ClientRecord& r) { r.set(F::Name, "CHANGED"); }, writer);
    EXPECT_EQ(writer.calls, 1);
    EXPECT_FALSE(save.saved);
    EXPECT_FALSE(save.reloaded);
    EXPECT_EQ(save.slot, 2);
    EXPECT_EQ(save.fault, "DATA301.OVJ: cannot write record 2");
    EXPECT_EQ(table.records, before.records);
    EXPECT_EQ(table.clientCount, 2);
    EXPECT_EQ(table.currentClient, 2);

    // The same table saves once the writer works again.
    writer.failures = 0;
    const auto setAge = [](ClientRecord& r) { r.set(F::Age, "15"); };
    EXPECT_TRUE(table.saveRecord(2, setAge, writer).saved);
    EXPECT_EQ(table.at(2).trimmed(F::Age), "15");
    EXPECT_EQ(table.at(2).trimmed(F::Name), "BAKER");
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
