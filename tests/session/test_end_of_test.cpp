#include "session/EndOfTest.h"
#include "tests/support/FakeRecordWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace orvj;
using F = ClientRecord::Field;

namespace {

// Whatever the writes do, the answers end in the new client's record and the client is counted
// once; a failed write is retried for as long as the supervisor answers Yes.
TEST(EndOfTest, RetriesWhileAskedAndKeepsTheAnswersEitherWay) {
    const struct {
        const char* name;
        int failures, answersYes;
        EndOfTest::Outcome outcome;
        int writes;
    } cases[] = {
        {"first write works, nothing asked", 0, 0, EndOfTest::Outcome::Stored, 1},
        {"two failures, then stored", 2, 5, EndOfTest::Outcome::Stored, 3},
        {"one retry, then declined", 10, 1, EndOfTest::Outcome::KeptInMemory, 2},
    };
    const std::string answers = std::string(50, '1') + std::string(93, '2');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClientTable clients;
        clients.at(1).set(F::Name, "SAVED");
        clients.clientCount = 1;
        clients.currentClient = 2;
        clients.at(2).set(F::Responses, std::string(143, '0'));
        test::FakeRecordWriter writer;
        writer.failures = c.failures;
        std::vector<std::string> faults;
        const auto outcome = EndOfTest::store(clients, answers, writer, [&](const std::string& f) {
            faults.push_back(f);
            return static_cast<int>(faults.size()) <= c.answersYes;
        });
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(writer.calls, c.writes);
        EXPECT_EQ(writer.responsesSeen, answers);
        EXPECT_EQ(faults, std::vector<std::string>(std::min(c.failures, c.writes),
                                                   "DATA301.OVJ: cannot write record 2"));
        EXPECT_EQ(clients.clientCount, 2);
        EXPECT_EQ(clients.at(2).field(F::Responses), answers);
        EXPECT_EQ(clients.at(1).trimmed(F::Name), "SAVED");
    }
}

} // namespace
