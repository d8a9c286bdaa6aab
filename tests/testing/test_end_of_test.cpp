#include "testing/EndOfTest.h"

#include "tests/support/FakeRecordWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace orvj;
using F = ClientRecord::Field;

struct EndOfTestCase : ::testing::Test {
    EndOfTestCase() {
        clients.at(1).set(F::Name, "SAVED");
        clients.clientCount = 1;
        clients.currentClient = 2;
        clients.at(2).set(F::Name, "NEW");
        clients.at(2).set(F::Responses, std::string(143, '0'));
    }
    EndOfTest::Outcome store(int answersYes) {
        return EndOfTest::store(clients, answers, writer, [&](const std::string& fault) {
            faults.push_back(fault);
            return static_cast<int>(faults.size()) <= answersYes;
        });
    }

    ClientTable clients;
    const std::string answers = std::string(50, '1') + std::string(93, '2');
    test::FakeRecordWriter writer;
    std::vector<std::string> faults;
};

TEST_F(EndOfTestCase, RetriesUntilTheWriteSucceedsAndCountsTheClientOnce) {
    writer.failures = 2;
    EXPECT_EQ(store(5), EndOfTest::Outcome::Stored);
    EXPECT_EQ(writer.calls, 3);
    EXPECT_EQ(writer.responsesSeen, answers);
    EXPECT_EQ(faults, (std::vector<std::string>(2, "DATA301.OVJ: cannot write record 2")));
    EXPECT_EQ(clients.clientCount, 2);
    EXPECT_EQ(clients.at(2).field(F::Responses), answers);
}

TEST_F(EndOfTestCase, DecliningKeepsTheAnswersInMemoryAndTheSlotCounted) {
    writer.failures = 10;
    EXPECT_EQ(store(1), EndOfTest::Outcome::KeptInMemory);
    EXPECT_EQ(writer.calls, 2) << "one write, one retry, then no more";
    EXPECT_EQ(clients.at(2).field(F::Responses), answers);
    EXPECT_EQ(clients.clientCount, 2);
    EXPECT_EQ(clients.at(1).trimmed(F::Name), "SAVED");
}

TEST_F(EndOfTestCase, AFirstWriteThatWorksAsksNothing) {
    EXPECT_EQ(store(0), EndOfTest::Outcome::Stored);
    EXPECT_TRUE(faults.empty());
    EXPECT_EQ(writer.calls, 1);
}

} // namespace
