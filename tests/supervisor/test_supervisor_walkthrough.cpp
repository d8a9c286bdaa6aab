// A supervisor's day on a copy of the sample data set, with the real report composition
// printing into a PDF file: a new client's record edited to the limit, her report viewed and
// printed, her answers verified. The client file is checked after every step. And the end of
// a data set: every report printed, then the names deleted, after which no name or ID is left
// in any file of the program, data and print folders.
#include "clients/frmClientInfo.h"
#include "clients/frmViewReport.h"
#include "supervisor/frmSupervisorOptions.h"
#include "supervisor/frmVerify.h"

#include "scoring/InventoryInstaller.h"
#include "scoring/QtReportJobs.h"
#include "tests/clients/ClientsTestSupport.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <set>

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;

namespace {

class SupervisorWalkthrough : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        // The sample inventory files and data folder; the build's own are never written.
        const fs::path sample = ORVJ_SAMPLE_HOME;
        for (const std::string& name : InventoryInstaller::fileNames()) {
            fs::copy_file(sample / name, state.paths.home / name);
        }
        fs::copy(sample / "data", state.paths.dataFolder, fs::copy_options::recursive);
        ClientFile(state.paths.clientFile).load(state.clients);
        jobs = std::make_unique<QtReportJobs>(state.paths.home, PrintTarget{root / "print.pdf"});
        services.reports = jobs.get();
    }
    ClientTable onDisk() {
        ClientTable t;
        ClientFile(state.paths.clientFile).load(t);
        return t;
    }
    // Opens the supervisor options on a tab and executes.
    void execute(int tab) {
        open<frmSupervisorOptions>().findChild<QTabWidget*>()->setCurrentIndex(tab);
        press(form.get(), 0);
    }
    std::unique_ptr<QtReportJobs> jobs;
};

TEST_F(SupervisorWalkthrough, OneDayOnTheSampleData) {
    // Tess, registered and tested: her record as the on-screen test stores it.
    const int tess = state.clients.clientCount + 1;
    ASSERT_GE(tess, 3);
    state.clients.currentClient = static_cast<std::int16_t>(tess);
    state.clients.current() = makeClient("Walker, Tess", "W-77");
    state.clients.current().set(F::Age, "13");
    ClientFile(state.paths.clientFile).writeRecord(state.clients, tess);
    state.clients.countNewTest();

    // Three saved edits of the age, the other records untouched; the fourth opening is locked.
    state.editMode = true;
    for (int edit = 1; edit <= 4; ++edit) {
        open<frmClientInfo>();
        auto* age = child<QLineEdit>("txtAge");
        ASSERT_EQ(age->isReadOnly(), edit == 4);
        if (edit < 4) {
            age->setFocus();
            QTest::keyClicks(age, QString::number(13 + edit));
            QTest::keyClick(age, Qt::Key_Return);
        }
        press(form.get(), 0);
        ASSERT_FALSE(form->isVisible());
        EXPECT_EQ(onDisk().at(tess).field(F::EditCount), std::to_string(std::min(edit, 3)));
        EXPECT_EQ(onDisk().records, state.clients.records) << "edit " << edit;
    }
    EXPECT_EQ(state.clients.at(tess).field(F::TestDate), "03/14/2025");
    EXPECT_EQ(state.clients.at(tess).trimmed(F::Age), "16");

    // View Tess's report and print it.
    QString shown;
    whenModal<frmViewReport>([&](frmViewReport* viewer) {
        shown = viewer->findChild<QPlainTextEdit*>()->toPlainText();
        viewer->findChild<QPushButton*>(QStringLiteral("cmdPrintReport"))->click();
        viewer->close();
    });
    execute(0);
    EXPECT_TRUE(shown.contains(QStringLiteral("Walker, Tess"))) << shown.toStdString();
    EXPECT_EQ(readFile(root / "print.pdf").substr(0, 5), "%PDF-");

    // Verify Tess's answers, keyed the same a second time.
    whenModal<frmVerify>([&](frmVerify* verify) {
        QTest::keyClicks(verify->findChild<QLineEdit*>(QStringLiteral("txtCurQuestion")),
                         QString(143, QLatin1Char('1')));
    });
    execute(1);
    EXPECT_EQ(messages.shown.last().title, QStringLiteral("Data Verification."));
    EXPECT_EQ(messages.shown.last().text,
              QStringLiteral("Data Verification complete. No corrections needed."));
    EXPECT_EQ(onDisk().records, state.clients.records);
}

// The shift the program once used to "delete" names, undone: c - 3 for an even code, c - 7
// for an odd one. Anyone could read the names back this way.
std::string oldInverse(std::string bytes) {
    for (char& ch : bytes) {
        if (ch != ' ') {
            const int c = static_cast<unsigned char>(ch);
            ch = static_cast<char>((c % 2 == 0 ? c - 3 : c - 7) & 0xFF);
        }
    }
    return bytes;
}

// The bytes of every file under the folder, by name.
std::map<std::string, std::string> filesUnder(const fs::path& folder) {
    std::map<std::string, std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            out[entry.path().string()] = readFile(entry.path());
        }
    }
    return out;
}

// Every report printed (into print files, as with ORVJ_PRINT_DIR) and a killed run's leftovers
// in place; then Delete Names, after the secret code and a Yes. Afterwards no file under the
// program, data and print folders holds any client's name, surname or ID, not even read
// through the old scramble's inverse; and a second run changes nothing.
TEST_F(SupervisorWalkthrough, DeletingTheNamesLeavesNoNameOrIdInAnyFolder) {
    state.paths.printFolder = root / "print";
    fs::create_directories(state.paths.printFolder);
    jobs = std::make_unique<QtReportJobs>(
        state.paths.home, PrintTarget{{}, QPageSize::Letter, state.paths.printFolder});
    services.reports = jobs.get();

    std::set<std::string> secrets;
    for (int k = 1; k <= state.clients.clientCount; ++k) {
        const std::string name = state.clients.at(k).trimmed(F::Name);
        secrets.insert(name);
        secrets.insert(name.substr(0, name.find(',')));
        secrets.insert(state.clients.at(k).trimmed(F::SSN));
    }
    ASSERT_GE(secrets.size(), 15u);
    for (const std::string& secret : secrets) {
        ASSERT_GE(secret.size(), 5u) << secret << ": too short to search for";
    }

    open<frmSupervisorOptions>();
    child<QRadioButton>("optPrintOption2")->click();
    press(form.get(), 0);
    EXPECT_TRUE(messages.shown.isEmpty()) << lastText().toStdString();
    const std::string firstName = state.clients.at(1).trimmed(F::Name);
    ASSERT_TRUE(fs::exists(state.paths.printFolder / "print-001.pdf"));
    writeFile(state.paths.home / "REPORT.PRN.Ab12Cd34", "left by a killed run: " + firstName);
    writeFile(state.paths.printFolder / "print-099.pdf.Qw3rTy12", "cut short: " + firstName);
    std::size_t holding = 0;
    for (const auto& [file, bytes] : filesUnder(root)) {
        holding += bytes.find(firstName) != std::string::npos ? 1 : 0;
    }
    EXPECT_GE(holding, 4u) << "the client file, REPORT.PRN, temp1 and the leftovers";

    const int asked = secretCode.asked;
    messages.answerNext(MessageService::Answer::Yes);
    execute(2);
    EXPECT_EQ(secretCode.asked, asked + 1) << "Delete Names asked for the secret code";
    EXPECT_EQ(messages.shown.first().buttons, MessageService::Buttons::YesNoDefaultNo);
    EXPECT_EQ(lastText(), QStringLiteral("Delete process complete. Press Enter to continue."));

    for (const auto& [file, bytes] : filesUnder(root)) {
        for (const std::string& secret : secrets) {
            EXPECT_EQ(bytes.find(secret), std::string::npos) << secret << " in " << file;
            EXPECT_EQ(oldInverse(bytes).find(secret), std::string::npos)
                << secret << " read back from " << file;
        }
    }
    EXPECT_FALSE(fs::exists(state.paths.printFolder / "print-001.pdf"));
    EXPECT_FALSE(fs::exists(state.paths.home / "REPORT.PRN"));
    EXPECT_FALSE(fs::exists(state.paths.home / "temp1"));
    EXPECT_EQ(onDisk().records, state.clients.records);

    const std::string deleted = readFile(state.paths.clientFile);
    messages.answerNext(MessageService::Answer::Yes);
    execute(2);
    EXPECT_EQ(readFile(state.paths.clientFile), deleted) << "a second run changes nothing";
}

} // namespace
