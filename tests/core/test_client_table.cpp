#include "core/ClientTable.h"

#include "tests/support/FakeRecordWriter.h"

#include <gtest/gtest.h>

namespace {

using namespace orvj;
using F = ClientRecord::Field;

TEST(ClientRecord, FieldsArePaddedOrCutInPlace) {
    ClientRecord r;
    r.set(F::Name, std::string(30, 'x'));
    EXPECT_EQ(r.field(F::Name), std::string(25, 'x'));
    EXPECT_EQ(r.field(F::SSN), std::string(11, ' ')) << "a long name must not spill into SSN";
    r.set(F::Name, "Ann");
    EXPECT_EQ(r.field(F::Name), "Ann" + std::string(22, ' ')) << "the longer name's tail must go";
}

// The writer may store a new client in a later record than asked (another program stored one
// meanwhile) and may have reloaded the table: the save passes both on. A failed write puts the
// record back as it was and hands the writer's message on.
TEST(ClientTableSave, PassesTheOutcomeOnOrRestoresTheRecordAndNamesTheFault) {
    const struct {
        const char* name;
        int slot;
        bool fails;
        RecordWriter::Outcome outcome;
    } cases[] = {{"an edit after a reload", 2, false, {2, true, ""}},
                 {"a new client moved on", 3, false, {4, true, ""}},
                 {"a failed write", 2, true, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClientTable table;
        table.at(2).set(F::Name, "BAKER");
        table.at(2).set(F::EditCount, "1");
        table.clientCount = 2;
        table.currentClient = static_cast<std::int16_t>(c.slot);
        const ClientTable before = table;
        test::FakeRecordWriter writer;
        writer.outcome = c.outcome;
        writer.failures = c.fails ? 1 : 0;
        const RecordSave save =
            table.saveCurrent([](ClientRecord& r) { r.set(F::Name, "BAKER JR"); }, writer);
        EXPECT_EQ(writer.calls, 1);
        EXPECT_EQ(writer.nameSeen, "BAKER JR"); // the writer gets the record already changed
        EXPECT_EQ(save.saved, !c.fails);
        EXPECT_EQ(save.slot, c.fails ? c.slot : c.outcome.slot);
        EXPECT_EQ(save.reloaded, !c.fails);
        EXPECT_EQ(save.fault, c.fails ? "DATA301.OVJ: cannot write record 2" : "");
        if (c.fails) {
            EXPECT_EQ(table.records, before.records);
        } else {
            EXPECT_EQ(table.at(c.slot).trimmed(F::Name), "BAKER JR");
        }
        EXPECT_EQ(table.clientCount, 2);
        EXPECT_EQ(table.currentClient, c.slot);
    }
}

} // namespace
