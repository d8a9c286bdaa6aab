#include "supervisor/DeleteNames.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QMessageBox>
#include <QPushButton>

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;

namespace {

using DeleteNamesTest = ClientsFixture;
using Answer = MessageService::Answer;

// Every byte of the name and ID field but a space is one of the 94 visible ASCII characters.
void expectRandomVisible(const ClientRecord& before, const ClientRecord& after) {
    for (F f : {F::Name, F::SSN}) {
        const std::string_view was = before.field(f);
        const std::string_view is = after.field(f);
        for (std::size_t i = 0; i < was.size(); ++i) {
            if (was[i] == ' ') {
                EXPECT_EQ(is[i], ' ');
            } else {
                EXPECT_TRUE(is[i] >= '!' && is[i] <= '~') << static_cast<int>(is[i]);
            }
        }
    }
}

// The warning's No is its default, so Enter (here: no scripted answer) keeps the names; No
// changes nothing. Yes replaces the name and ID of every record not deleted before and writes
// it, and removes the report files and temporaries of the program folder and the print files
// of the print folder: one of each kind goes and a look-alike stays.
TEST_F(DeleteNamesTest, NoIsTheDefaultYesDeletesTheNamesAndRemovesTheReportAndPrintFiles) {
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
    state.paths.printFolder = root / "print";
    fs::create_directories(state.paths.printFolder);
    const std::pair<const char*, bool> printFiles[] = {
        {"print-001.pdf", true},   {"PRINT-017.PDF", true},  {"print-002.pdf.part", true},
        {"print-.pdf", false},     {"print-01a.pdf", false}, {"print-001.pdfx", false},
        {"print-001.pdf.", false}, {"report-1.pdf", false},  {"my print-001.pdf", false}};
    for (const auto& file : printFiles) {
        writeFile(state.paths.printFolder / file.first, "AB N");
    }
    const std::string fileBefore = clientFile();

    DeleteNames(state, services, nullptr);
    messages.answerNext(Answer::No);
    DeleteNames(state, services, nullptr);
    ASSERT_EQ(messages.shown.size(), 4);
    for (int box : {0, 2}) {
        EXPECT_EQ(messages.shown[box].title, QStringLiteral("WARNING!"));
        EXPECT_EQ(messages.shown[box].icon, MessageService::Icon::Critical);
        EXPECT_EQ(messages.shown[box].buttons, MessageService::Buttons::YesNoDefaultNo);
        EXPECT_EQ(messages.shown[box].text, deleteNamesWarning());
        EXPECT_EQ(messages.shown[box + 1].text,
                  QStringLiteral("Delete process ABORTED. Press Enter to continue."));
    }
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral(
                  "You are about to delete the client names from the data diskette.  This should "
                  "not be done until you have printed all reports and you are finished with the "
                  "diskette and ready to return it.  This procedure is provided as an option to "
                  "protect the confidentiality of your clients.  You may choose not to run the "
                  "procedure.  Once done you cannot undo the changes!!!  The ID number will be "
                  "deleted as well.\n\nDo wish to delete all names and ID numbers?"));
    EXPECT_EQ(clientFile(), fileBefore);
    EXPECT_EQ(state.clients.at(1), makeClient("AB", "N"));
    EXPECT_TRUE(fs::exists(state.paths.home / "REPORT.PRN"));
    EXPECT_TRUE(fs::exists(state.paths.printFolder / "print-001.pdf"));

    messages.answerNext(Answer::Yes);
    DeleteNames(state, services, nullptr);
    EXPECT_EQ(lastText(), QStringLiteral("Delete process complete. Press Enter to continue."));
    EXPECT_EQ(state.nameDeleted, 1);
    EXPECT_TRUE(state.testStored);
    expectRandomVisible(makeClient("AB", "N"), state.clients.at(1));
    expectRandomVisible(makeClient("Jo Ann", "12 34"), state.clients.at(3));
    EXPECT_EQ(state.clients.at(3).field(F::Name).substr(2, 1), " ") << "spaces stay";
    EXPECT_EQ(state.clients.at(2), done) << "an already deleted record is skipped";
    EXPECT_EQ(state.clients.at(3).field(F::NameDeleted), "1");
    EXPECT_EQ(state.clients.at(3).field(F::Responses), makeClient("x").field(F::Responses));
    EXPECT_EQ(clientFile(),
              bytesOf({state.clients.at(1), state.clients.at(2), state.clients.at(3)}));
    for (const auto& [name, removed] : files) {
        EXPECT_EQ(fs::exists(state.paths.home / name), !removed) << name;
    }
    for (const auto& [name, removed] : printFiles) {
        EXPECT_EQ(fs::exists(state.paths.printFolder / name), !removed) << name;
    }

    // A second run finds every record deleted: nothing changes.
    const std::string fileAfter = clientFile();
    messages.answerNext(Answer::Yes);
    DeleteNames(state, services, nullptr);
    EXPECT_EQ(lastText(), QStringLiteral("Delete process complete. Press Enter to continue."));
    EXPECT_EQ(clientFile(), fileAfter);
}

// In the program's own message box the warning's default button is No: Enter answers No.
TEST_F(DeleteNamesTest, EnterOnTheProgramsWarningBoxAnswersNo) {
    QtMessageService real;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        defaultButton = box->standardButton(box->defaultButton());
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(real.show(nullptr, QStringLiteral("WARNING!"), deleteNamesWarning(),
                        MessageService::Icon::Critical, MessageService::Buttons::YesNoDefaultNo),
              Answer::No);
    EXPECT_EQ(defaultButton, QMessageBox::No);
}

TEST_F(DeleteNamesTest, AWriteFaultStopsWithMemoryMatchingTheFile) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    loseDataFolder();
    messages.answerNext(Answer::Yes);
    DeleteNames(state, services, nullptr);
    EXPECT_EQ(state.clients.at(1), makeClient("Ann")) << "the unwritten record is not scrambled";
    EXPECT_EQ(state.clients.at(2), makeClient("Bob"));
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("Record 1 could not be written")));
    EXPECT_TRUE(lastText().contains(QStringLiteral("DATA301.OVJ")));
}

} // namespace
