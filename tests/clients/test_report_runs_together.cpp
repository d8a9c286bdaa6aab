// Two `orvj-report --all` runs and the report viewer at work in one program folder at once,
// on a copy of the sample data set with the real composition: each prints its own clients'
// reports, and no temporary stays.
#include "clients/frmViewReport.h"

#include "scoring/InventoryInstaller.h"
#include "scoring/QtReportJobs.h"
#include "scoring/ReportWriter.h"
#include "store/ReportFiles.h"
#include "tests/clients/ClientsTestSupport.h"
#include "tests/platform/TestProcess.h"

#include <QPushButton>

#include <optional>

using namespace orvj;
using namespace orvj::test;

namespace {

// The real report jobs, keeping what the viewer hands to the printer.
class RecordingJobs : public QtReportJobs {
public:
    using QtReportJobs::QtReportJobs;
    void printReportText(const std::string& text) override {
        printed.push_back(text);
        QtReportJobs::printReportText(text);
    }
    std::vector<std::string> printed;
};

class ReportRunsTogether : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        const fs::path sample = ORVJ_SAMPLE_HOME;
        for (const std::string& name : InventoryInstaller::fileNames()) {
            fs::copy_file(sample / name, root / name);
        }
        fs::copy_file(sample / "ORVJTest.ini", root / "ORVJTest.ini");
        fs::copy(sample / "data", state.paths.dataFolder, fs::copy_options::recursive);
        ClientFile(state.paths.clientFile).load(state.clients);
        jobs.emplace(root, PrintTarget{out.path() / "viewer.pdf"});
        jobs->setClientFile(state.paths.clientFile);
        services.reports = &*jobs;
    }
    // Whose report a text is: the name in its header, for a short message.
    static std::string nameIn(const std::string& report) {
        const std::string label = "NAME        : ";
        const auto at = report.find(label);
        return at == std::string::npos ? std::string("no name")
                                       : report.substr(at + label.size(), 25);
    }
    // Client k's report as REPORT.PRN holds it.
    std::string reportOf(int k) const {
        return ReportWriter(root).composeText(state.clients, k, ReportOption::Standard);
    }

    TempFolder out; // the runs' PDFs and messages, outside the program folder
    std::optional<RecordingJobs> jobs;
};

TEST_F(ReportRunsTogether, EachRunPrintsItsOwnClientsAndNoTemporaryStays) {
    if (!testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "needs child processes";
    }
    const int count = state.clients.clientCount;
    ASSERT_GE(count, 3);
    std::vector<std::unique_ptr<testplatform::Child>> runs;
    for (int n = 1; n <= 2; ++n) {
        const std::string command =
            std::string(ORVJ_REPORT_BINARY) + " --home '" + root.string() + "' --all --pdf '" +
            (out.path() / ("run" + std::to_string(n) + ".pdf")).string() + "' >'" +
            (out.path() / ("run" + std::to_string(n) + ".log")).string() + "' 2>&1";
        runs.push_back(std::make_unique<testplatform::Child>(
            [command] { return testplatform::runCommand(command); }));
    }

    // Meanwhile the supervisor views and prints one client after another.
    for (int round = 0; round < 2 * count; ++round) {
        const int client = 1 + round % count;
        SCOPED_TRACE(client);
        state.clients.currentClient = static_cast<std::int16_t>(client);
        open<frmViewReport>();
        child<QPushButton>("cmdPrintReport")->click();
        ASSERT_TRUE(messages.shown.isEmpty()) << lastText().toStdString();
        std::string expected = reportOf(client);
        expected.pop_back(); // the viewer's text is the file without its final character
        ASSERT_EQ(jobs->printed.size(), static_cast<std::size_t>(round) + 1);
        EXPECT_TRUE(jobs->printed.back() == expected)
            << "printed the report of " << nameIn(jobs->printed.back());
        form.reset();
    }

    for (int n = 0; n < 2; ++n) {
        EXPECT_EQ(runs[static_cast<std::size_t>(n)]->wait(), 0)
            << readFile(out.path() / ("run" + std::to_string(n + 1) + ".log"));
    }
    for (int k = 1; k <= count; ++k) {
        const std::string copy = readFile(ReportFiles::copyFile(root, k));
        EXPECT_TRUE(copy == reportOf(k)) << "temp" << k << " holds the report of " << nameIn(copy);
    }
    for (const auto& entry : fs::directory_iterator(root)) {
        EXPECT_FALSE(ReportFiles::isTemporaryName(entry.path().filename().string()))
            << entry.path();
    }
    for (const char* pdf : {"run1.pdf", "run2.pdf", "viewer.pdf"}) {
        EXPECT_EQ(readFile(out.path() / pdf).substr(0, 5), "%PDF-") << pdf;
    }
}

} // namespace
