#include "ui/DeleteNames.h"

#include "tests/clients/ClientsTestSupport.h"

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;

namespace {

using DeleteNamesTest = ClientsFixture;

// No changes nothing; Yes scrambles and writes every record not deleted before and removes the
// report files and temporaries (which names those are is ReportFiles' business: here one of
// each kind goes and a look-alike stays).
TEST_F(DeleteNamesTest, NoChangesNothingYesScramblesTheRecordsAndRemovesTheReportFiles) {
    ClientRecord done = makeClient("Old", "9");
    done.set(F::NameDeleted, "1");
    registerClients({makeClient("AB", "N"), done, makeClient("Jo Ann", "12 34")});
    const std::pair<const char*, bool> files[] = {
        {"REPORT.PRN", true},     {"temp1", true},      {"TEMP3", true},
        {"temp2.XyZ12345", true}, {"temp1.bak", false}, {"ORVJB.TXT", false},
        {"REPORT.PRN.old", false}};
    for (const auto& file : files) {
        writeFile(state.paths.home / file.first, "AB N");
    }
    const std::string fileBefore = clientFile();
    messages.answerNext(MessageService::Answer::No);
    DeleteNames(state, services, nullptr);

    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("WARNING!"));
    EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral(
                  "You are about to delete the client names from the data diskette.  This should "
                  "not be done until you have printed all reports and you are finished with the "
                  "diskette and ready to return it.  This procedure is provided as an option to "
                  "protect the confidentiality of your clients.  You may choose not to run the "
                  "procedure.  Once done you cannot undo the changes!!!  The ID number will be "
                  "deleted as well.\n\nDo wish to delete all names and ID numbers?"));
    EXPECT_EQ(lastText(), QStringLiteral("Delete process ABORTED. Press Enter to continue."));
    EXPECT_EQ(clientFile(), fileBefore);
    EXPECT_EQ(state.clients.at(1), makeClient("AB", "N"));
    EXPECT_TRUE(fs::exists(state.paths.home / "REPORT.PRN"));

    DeleteNames(state, services, nullptr);
    EXPECT_EQ(lastText(), QStringLiteral("Delete process complete. Press Enter to continue."));
    EXPECT_EQ(state.nameDeleted, 1);
    EXPECT_EQ(state.clients.at(1).trimmed(F::Name) + state.clients.at(1).trimmed(F::SSN), "DIU");
    EXPECT_EQ(state.clients.at(2), done) << "an already deleted record is skipped";
    EXPECT_EQ(state.clients.at(3).field(F::NameDeleted), "1");
    EXPECT_EQ(clientFile(),
              bytesOf({state.clients.at(1), state.clients.at(2), state.clients.at(3)}));
    for (const auto& [name, removed] : files) {
        EXPECT_EQ(fs::exists(state.paths.home / name), !removed) << name;
    }
}

TEST_F(DeleteNamesTest, AWriteFaultStopsWithMemoryMatchingTheFile) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    loseDataFolder();
    DeleteNames(state, services, nullptr);
    EXPECT_EQ(state.clients.at(1), makeClient("Ann")) << "the unwritten record is not scrambled";
    EXPECT_EQ(state.clients.at(2), makeClient("Bob"));
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("Record 1 could not be written")));
    EXPECT_TRUE(lastText().contains(QStringLiteral("DATA301.OVJ")));
}

} // namespace
