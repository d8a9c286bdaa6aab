#include "ui/DeleteNames.h"

#include "tests/clients/ClientsTestSupport.h"

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;
using Icon = MessageService::Icon;
using Answer = MessageService::Answer;

namespace {

class DeleteNamesTest : public ClientsFixture {};

TEST_F(DeleteNamesTest, WarningIsAskedAndNoChangesNothing) {
    registerClients({makeClient("AB", "N")});
    const std::string fileBefore = readFile(state.paths.clientFile);
    messages.answerNext(Answer::No);
    DeleteNames(state, services, nullptr);

    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("WARNING!"));
    EXPECT_EQ(messages.shown[0].icon, Icon::Critical);
    EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_TRUE(messages.shown[0].text.startsWith(
        QStringLiteral("You are about to delete the client names from the data diskette.  This "
                       "should not be done until you have printed all reports and you are "
                       "finished with the diskette and ready to return it.  ")));
    EXPECT_TRUE(messages.shown[0].text.endsWith(
        QStringLiteral("Once done you cannot undo the changes!!!  The ID number will be deleted as "
                       "well.\n\nDo wish to delete all names and ID numbers?")));
    EXPECT_EQ(messages.shown[1].text,
              QStringLiteral("Delete process ABORTED. Press Enter to continue."));
    EXPECT_EQ(messages.shown[1].icon, Icon::None);
    EXPECT_EQ(readFile(state.paths.clientFile), fileBefore);
    EXPECT_EQ(state.clients.at(1).trimmed(F::Name), "AB");
    EXPECT_FALSE(state.testStored);
}

TEST_F(DeleteNamesTest, YesScramblesWritesAndASecondRunChangesNothing) {
    ClientRecord done = makeClient("Old", "9");
    done.set(F::NameDeleted, "1");
    registerClients({makeClient("AB", "N"), done, makeClient("Jo Ann", "12 34")});
    DeleteNames(state, services, nullptr);

    EXPECT_EQ(messages.shown.last().text,
              QStringLiteral("Delete process complete. Press Enter to continue."));
    EXPECT_EQ(messages.shown.last().icon, Icon::None);
    EXPECT_TRUE(state.testStored);
    EXPECT_EQ(state.nameDeleted, 1);
    const ClientRecord& first = state.clients.at(1);
    EXPECT_EQ(first.field(F::Name), "DI" + std::string(23, ' '));
    EXPECT_EQ(first.field(F::SSN), "U" + std::string(10, ' '));
    EXPECT_EQ(first.field(F::NameDeleted), "1");
    EXPECT_EQ(state.clients.at(2), done) << "an already deleted record is skipped";
    EXPECT_EQ(state.clients.at(3).field(F::Name).substr(0, 7), "Qr Duu ");
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(recordInFile(k), bytesOf(state.clients.at(k))) << "record " << k;
    }

    const std::string afterFirst = readFile(state.paths.clientFile);
    messages.shown.clear();
    DeleteNames(state, services, nullptr);
    EXPECT_EQ(readFile(state.paths.clientFile), afterFirst);
    EXPECT_EQ(messages.shown.size(), 2);
}

TEST_F(DeleteNamesTest, ReportCopiesWithNamesAreRemovedAndOtherFilesKept) {
    registerClients({makeClient("Ann")});
    for (const char* name : {"REPORT.PRN", "temp1", "temp12", "TEMP3"}) {
        writeFile(state.paths.home / name, "Ann 123-45");
    }
    for (const char* name : {"template.txt", "temp1.bak", "temp", "ORVJB.TXT"}) {
        writeFile(state.paths.home / name, "keep");
    }
    DeleteNames(state, services, nullptr);
    for (const char* name : {"REPORT.PRN", "temp1", "temp12", "TEMP3"}) {
        EXPECT_FALSE(fs::exists(state.paths.home / name)) << name;
    }
    for (const char* name : {"template.txt", "temp1.bak", "temp", "ORVJB.TXT"}) {
        EXPECT_TRUE(fs::exists(state.paths.home / name)) << name;
    }
}

TEST_F(DeleteNamesTest, NoClientsCompletesAtOnce) {
    registerClients({});
    DeleteNames(state, services, nullptr);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].text,
              QStringLiteral("Delete process complete. Press Enter to continue."));
}

TEST_F(DeleteNamesTest, AWriteFaultStopsWithMemoryMatchingTheFile) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    const ClientRecord before = state.clients.at(1);
    loseDataFolder();
    DeleteNames(state, services, nullptr);
    EXPECT_EQ(state.clients.at(1), before) << "the unwritten record is not left scrambled";
    EXPECT_EQ(state.clients.at(2).trimmed(F::Name), "Bob");
    const auto& box = messages.shown.last();
    EXPECT_EQ(box.icon, Icon::Critical);
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Record 1 could not be written")));
    EXPECT_TRUE(box.text.contains(QStringLiteral("DATA301.OVJ"))) << box.text.toStdString();
    for (const auto& shown : messages.shown) {
        EXPECT_NE(shown.text, QStringLiteral("Delete process complete. Press Enter to continue."));
    }
}

} // namespace
