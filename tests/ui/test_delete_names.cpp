#include "ui/DeleteNames.h"

#include "tests/clients/ClientsTestSupport.h"

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;
using Icon = MessageService::Icon;

namespace {

using DeleteNamesTest = ClientsFixture;

TEST_F(DeleteNamesTest, WarningIsAskedAndNoChangesNothing) {
    registerClients({makeClient("AB", "N")});
    writeFile(state.paths.home / "REPORT.PRN", "AB N");
    const std::string fileBefore = clientFile();
    messages.answerNext(MessageService::Answer::No);
    DeleteNames(state, services, nullptr);

    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("WARNING!"));
    EXPECT_EQ(messages.shown[0].icon, Icon::Critical);
    EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral(
                  "You are about to delete the client names from the data diskette.  This should "
                  "not be done until you have printed all reports and you are finished with the "
                  "diskette and ready to return it.  This procedure is provided as an option to "
                  "protect the confidentiality of your clients.  You may choose not to run the "
                  "procedure.  Once done you cannot undo the changes!!!  The ID number will be "
                  "deleted as well.\n\nDo wish to delete all names and ID numbers?"));
    EXPECT_EQ(messages.shown[1].text,
              QStringLiteral("Delete process ABORTED. Press Enter to continue."));
    EXPECT_EQ(messages.shown[1].icon, Icon::None);
    EXPECT_EQ(clientFile(), fileBefore);
    EXPECT_EQ(state.clients.at(1), makeClient("AB", "N"));
    EXPECT_TRUE(fs::exists(state.paths.home / "REPORT.PRN"));
}

TEST_F(DeleteNamesTest, YesScramblesAndWritesEveryRecordNotDeletedBefore) {
    ClientRecord done = makeClient("Old", "9");
    done.set(F::NameDeleted, "1");
    registerClients({makeClient("AB", "N"), done, makeClient("Jo Ann", "12 34")});
    DeleteNames(state, services, nullptr);

    EXPECT_EQ(lastText(), QStringLiteral("Delete process complete. Press Enter to continue."));
    EXPECT_EQ(messages.shown.last().icon, Icon::None);
    EXPECT_EQ(state.nameDeleted, 1);
    EXPECT_EQ(state.clients.at(1).trimmed(F::Name) + state.clients.at(1).trimmed(F::SSN), "DIU");
    EXPECT_EQ(state.clients.at(2), done) << "an already deleted record is skipped";
    EXPECT_EQ(state.clients.at(3).field(F::NameDeleted), "1");
    EXPECT_EQ(clientFile(),
              bytesOf({state.clients.at(1), state.clients.at(2), state.clients.at(3)}));
}

TEST_F(DeleteNamesTest, ReportFilesAndTemporariesWithNamesAreRemovedAndOtherFilesKept) {
    registerClients({makeClient("Ann")});
    // Temporaries are what a killed print run leaves: the file's name, a dot, six letters.
    const char* const doomed[] = {"REPORT.PRN",        "temp1",        "temp12",           "TEMP3",
                                  "REPORT.PRN.a1B2c3", "temp2.XyZ123", "report.prn.000000"};
    const char* const kept[] = {"template.txt",     "temp1.bak",      "temp",
                                "ORVJB.TXT",        "REPORT.PRN.old", "tempx.abcdef",
                                "REPORT.PRN.a-b-c1"};
    for (const char* name : doomed) {
        writeFile(state.paths.home / name, "Ann 123-45");
    }
    for (const char* name : kept) {
        writeFile(state.paths.home / name, "keep");
    }
    DeleteNames(state, services, nullptr);
    for (const char* name : doomed) {
        EXPECT_FALSE(fs::exists(state.paths.home / name)) << name;
    }
    for (const char* name : kept) {
        EXPECT_TRUE(fs::exists(state.paths.home / name)) << name;
    }
}

TEST_F(DeleteNamesTest, AWriteFaultStopsWithMemoryMatchingTheFile) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    loseDataFolder();
    DeleteNames(state, services, nullptr);
    EXPECT_EQ(state.clients.at(1), makeClient("Ann")) << "the unwritten record is not scrambled";
    EXPECT_EQ(state.clients.at(2), makeClient("Bob"));
    EXPECT_EQ(messages.shown.last().icon, Icon::Critical);
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("Record 1 could not be written")));
    EXPECT_TRUE(lastText().contains(QStringLiteral("DATA301.OVJ")));
}

} // namespace
