// A supervisor's day on a copy of the sample data set, with the real report composition
// printing into a PDF file: a new client's record edited to the limit, her report viewed and
// printed, her answers verified. The client file is checked after every step.
#include "clients/frmClientInfo.h"
#include "clients/frmSupervisorOptions.h"
#include "clients/frmVerify.h"
#include "clients/frmViewReport.h"

#include "scoring/InventoryInstaller.h"
#include "scoring/QtReportJobs.h"
#include "tests/clients/ClientsTestSupport.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

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
    // Tess, registered and tested: her record as the on-screen test stores it (registering
    // through the form is the client form test's business).
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
        ASSERT_EQ(age->isEnabled(), edit < 4);
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

} // namespace
