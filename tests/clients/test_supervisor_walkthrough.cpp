// A supervisor's day on a copy of the sample data set, with the real report composition and
// printing into PDF files: register, edit three times, view and print a report, print all,
// verify one client's answers with corrections, delete names. The client file is checked
// after every step.
#include "clients/frmClientInfo.h"
#include "clients/frmSupervisorOptions.h"

#include "scoring/QtReportJobs.h"
#include "tests/clients/ClientsTestSupport.h"
#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <memory>

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;

namespace {

// Real reports, printed into PDF files; remembers what REPORT.PRN held at every print.
class PdfReportJobs : public ReportJobs {
public:
    PdfReportJobs(const fs::path& home, fs::path pdfFolder)
        : m_real(home, PrintTarget{pdfFolder / "print.pdf"}), m_home(home),
          m_pdfFolder(std::move(pdfFolder)) {}
    void compose(const ClientTable& clients, int client, int reportOption) override {
        m_real.compose(clients, client, reportOption);
    }
    std::string readReportText() override { return m_real.readReportText(); }
    void printReportFile() override {
        m_real.printReportFile();
        printed.push_back(readFile(m_home / "REPORT.PRN"));
        fs::rename(m_pdfFolder / "print.pdf",
                   m_pdfFolder / ("print" + std::to_string(printed.size()) + ".pdf"));
    }
    std::vector<std::string> printed;

private:
    QtReportJobs m_real;
    fs::path m_home;
    fs::path m_pdfFolder;
};

class SupervisorWalkthrough : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        const fs::path sample = ORVJ_SAMPLE_HOME;
        ASSERT_TRUE(fs::exists(sample / "data" / ClientFile::kFileName)) << "sample data set";
        for (const auto& entry : fs::recursive_directory_iterator(sample)) {
            const fs::path to = state.paths.home / fs::relative(entry.path(), sample);
            if (entry.is_directory()) {
                fs::create_directories(to);
            } else if ((entry.status().permissions() & fs::perms::owner_exec) == fs::perms::none) {
                fs::copy_file(entry.path(), to, fs::copy_options::overwrite_existing);
            }
        }
        state.paths.dataFolder = state.paths.home / "data";
        state.paths.clientFile = state.paths.dataFolder / ClientFile::kFileName;
        ClientFile(state.paths.clientFile).load(state.clients);
        fs::create_directories(root / "pdf");
        jobs = std::make_unique<PdfReportJobs>(state.paths.home, root / "pdf");
        services.reports = jobs.get();
    }

    ClientRecord inFile(int k) {
        ClientTable t;
        ClientFile(state.paths.clientFile).load(t);
        return t.at(k);
    }
    void type(QWidget* w, const QString& text) { QTest::keyClicks(w, text); }
    void enter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }
    void show(QDialog& d) {
        d.show();
        QApplication::setActiveWindow(&d);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        QApplication::processEvents();
    }
    template <typename T> static T* child(QWidget* w, const char* name) {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    void execute(frmSupervisorOptions& options) {
        QAbstractButton* execute = menuButton(&options, 0);
        execute->setFocus();
        enter(execute);
    }

    std::unique_ptr<PdfReportJobs> jobs;
};

std::string pdfHead(const fs::path& p) {
    return readFile(p).substr(0, 5);
}

TEST_F(SupervisorWalkthrough, OneDayOnTheSampleData) {
    const int sampleClients = state.clients.clientCount;
    ASSERT_GE(sampleClients, 2);

    // Register a new client; the answers arrive as the on-screen test stores them.
    state.editMode = false;
    {
        frmClientInfo form(state, services);
        show(form);
        for (auto [name, text] : {std::pair{"txtName", "Walker, Tess"},
                                  {"txtSSN", "W-77"},
                                  {"txtAge", "13"},
                                  {"cmbGender", "2"},
                                  {"cmbRace", "3"},
                                  {"cmbEducation", "4"}}) {
            QWidget* field = child<QWidget>(&form, name);
            ASSERT_EQ(QApplication::focusWidget(), field) << name;
            type(field, QString::fromLatin1(text));
            enter(field);
        }
        enter(menuButton(&form, 0));
        ASSERT_FALSE(form.isVisible());
    }
    const int tess = sampleClients + 1;
    ASSERT_EQ(state.clients.currentClient, tess);
    EXPECT_EQ(fs::file_size(state.paths.clientFile), sampleClients * ClientRecord::kSize);
    std::string answers(state.clients.at(1).field(F::Responses));
    state.clients.current().set(F::Responses, answers);
    ClientFile(state.paths.clientFile).writeRecord(state.clients, tess);
    state.clients.countNewTest();
    EXPECT_EQ(inFile(tess).trimmed(F::Name), "Walker, Tess");
    EXPECT_EQ(inFile(tess).field(F::EditCount), "0");

    // Three edits of the age, each saved and counted.
    for (int edit = 1; edit <= 3; ++edit) {
        state.editMode = true;
        frmClientInfo form(state, services);
        show(form);
        auto* age = child<QLineEdit>(&form, "txtAge");
        age->setFocus();
        type(age, QString::number(13 + edit));
        enter(age);
        menuButton(&form, 0)->setFocus();
        enter(menuButton(&form, 0));
        ASSERT_FALSE(form.isVisible());
        const ClientRecord r = inFile(tess);
        EXPECT_EQ(r.trimmed(F::Age), std::to_string(13 + edit));
        EXPECT_EQ(r.field(F::EditCount), std::to_string(edit));
        EXPECT_EQ(r, state.clients.at(tess));
    }
    {
        frmClientInfo form(state, services);
        show(form);
        ASSERT_FALSE(messages.shown.isEmpty());
        EXPECT_EQ(messages.shown.last().title, QStringLiteral("Edit Limit Reached"));
        EXPECT_FALSE(child<QLineEdit>(&form, "txtAge")->isEnabled());
        enter(menuButton(&form, 0));
    }
    EXPECT_EQ(inFile(tess).field(F::EditCount), "3");

    // View Tess's report and print it.
    {
        frmSupervisorOptions options(state, services);
        show(options);
        QString shown;
        whenModal(&options, "orvj::frmViewReport", [&](QWidget* viewer) {
            shown = child<QPlainTextEdit>(viewer, "Text1")->toPlainText();
            child<QPushButton>(viewer, "cmdPrintReport")->click();
        });
        execute(options);
        EXPECT_TRUE(shown.contains(QStringLiteral("Walker, Tess"))) << shown.toStdString();
    }
    ASSERT_EQ(jobs->printed.size(), 1u);
    EXPECT_EQ(pdfHead(root / "pdf" / "print1.pdf"), "%PDF-");
    EXPECT_NE(jobs->printed[0].find("Walker, Tess"), std::string::npos);

    // Print all: one report per client, in record order.
    {
        frmSupervisorOptions options(state, services);
        show(options);
        child<QRadioButton>(&options, "optPrintOption2")->click();
        execute(options);
    }
    ASSERT_EQ(jobs->printed.size(), 1u + static_cast<std::size_t>(tess));
    for (int k = 1; k <= tess; ++k) {
        EXPECT_NE(
            jobs->printed[static_cast<std::size_t>(k)].find(state.clients.at(k).trimmed(F::Name)),
            std::string::npos)
            << "print " << k;
        EXPECT_TRUE(fs::exists(state.paths.home / ("temp" + std::to_string(k))));
        EXPECT_EQ(pdfHead(root / "pdf" / ("print" + std::to_string(k + 1) + ".pdf")), "%PDF-");
    }
    EXPECT_EQ(state.clients.currentClient, 1);

    // Verify Tess's answers, two of them keyed differently and then corrected.
    state.clients.currentClient = static_cast<std::int16_t>(tess);
    std::string second = answers;
    second[0] = second[0] == '1' ? '2' : '1';
    second[80] = second[80] == '1' ? '2' : '1';
    {
        frmSupervisorOptions options(state, services);
        show(options);
        child<QTabWidget>(&options, "sstSupervisorOperations")->setCurrentIndex(1);
        whenModal(&options, "orvj::frmVerify", [&](QWidget* verify) {
            auto* box = child<QLineEdit>(verify, "txtCurQuestion");
            for (char c : second) {
                QTest::keyClick(box, c);
            }
            QTest::keyClick(box, '0');
            QTest::keyClick(box, '3');
        });
        execute(options);
    }
    std::string corrected = second;
    corrected[0] = '0';
    corrected[80] = '3';
    EXPECT_EQ(inFile(tess).field(F::Responses), corrected);
    EXPECT_EQ(messages.shown.last().text, QStringLiteral("Data Verification complete."));

    // Delete names: every name and ID scrambled on disk, the report copies gone.
    std::vector<ClientRecord> before(state.clients.records.begin() + 1,
                                     state.clients.records.begin() + tess + 1);
    {
        frmSupervisorOptions options(state, services);
        show(options);
        child<QTabWidget>(&options, "sstSupervisorOperations")->setCurrentIndex(2);
        execute(options);
    }
    EXPECT_EQ(messages.shown.last().text,
              QStringLiteral("Delete process complete. Press Enter to continue."));
    for (int k = 1; k <= tess; ++k) {
        const ClientRecord r = inFile(k);
        const ClientRecord& was = before[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(r.field(F::NameDeleted), "1");
        EXPECT_NE(r.field(F::Name), was.field(F::Name));
        EXPECT_EQ(r.field(F::Responses), was.field(F::Responses));
        EXPECT_EQ(r, state.clients.at(k));
    }
    EXPECT_FALSE(fs::exists(state.paths.home / "REPORT.PRN"));
    EXPECT_FALSE(fs::exists(state.paths.home / "temp1"));
}

} // namespace
