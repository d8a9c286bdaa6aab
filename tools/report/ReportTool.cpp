#include "tools/report/ReportTool.h"

#include "scoring/CriticalCases.h"
#include "scoring/InventoryFiles.h"
#include "scoring/InventoryLoader.h"
#include "scoring/ReportJobs.h"
#include "scoring/ReportRuns.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScaleScorer.h"
#include "scoring/ScoresExport.h"
#include "store/ClientFile.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "store/ProgramFolder.h"
#include "store/ReportFiles.h"
#include "tools/report/AuditCommands.h"
#include "tools/report/ReportPrintProgram.h"
#include "tools/report/ReportToolHelp.h"
#include "tools/report/StatsCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <ostream>

namespace orvj {
namespace {

using Command = ReportToolOptions::Command;

std::filesystem::path programFolder(const ReportToolOptions& o,
                                    const std::filesystem::path& executableFolder,
                                    std::ostream& err) {
    bool laidOut = false;
    const ProgramFolder folder =
        prepareProgramFolder(programFolderInputs(o.home, executableFolder), laidOut);
    if (laidOut) {
        err << "orvj-report: " << firstStartNotice(folder.path) << "\n";
    }
    return folder.path;
}

void checkClientNumber(const ClientData& data, int client) {
    if (client < 1 || client > data.table.clientCount) {
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        data.file.string() + ": client " + std::to_string(client) +
                            " is not in the client file (" +
                            (data.table.clientCount == 0
                                 ? std::string("it holds no clients")
                                 : "clients 1 to " + std::to_string(data.table.clientCount)) +
                            ")");
    }
}

int pageCount(const std::string& report) {
    return static_cast<int>(std::count(report.begin(), report.end(), '\f')) + 1;
}

// Composing through the report layer; printing through orvj-report-print, when there is one.
class ComposingJobs : public ReportJobs {
public:
    ComposingJobs(std::filesystem::path home, std::filesystem::path clientFile,
                  std::chrono::milliseconds lockWait, ReportPrintProgram* printer = nullptr)
        : m_home(std::move(home)), m_clientFile(std::move(clientFile)), m_lockWait(lockWait),
          m_printer(printer) {}

    ReportFolderLock lockReportFolder() override { return ReportFolderLock(m_home, m_lockWait); }
    void compose(const ClientTable& clients, int client, ReportOption option) override {
        ReportWriter writer(m_home);
        writer.setClientFile(m_clientFile);
        writer.writeReportFile(clients, client, option);
    }
    std::string readReportText() override {
        return InventoryFiles::readBytes(ReportFiles::reportFile(m_home));
    }
    void printReportFile() override {
        if (m_printer == nullptr) {
            throw OrvjError(ErrorCode::DeviceIO, "printing needs the full build of orvj-report");
        }
        m_printer->printReportFile(profileSheet() ? std::optional<int>(profileSheet()->record)
                                                  : std::nullopt);
    }
    void saveReportPdf(const std::filesystem::path&) override { notHere(); }
    void printReportText(const std::string&) override { notHere(); }
    void saveReportTextPdf(const std::string&, const std::filesystem::path&) override { notHere(); }

private:
    [[noreturn]] static void notHere() {
        throw OrvjError(ErrorCode::DeviceIO, "orvj-report prints only through its print runs");
    }

    std::filesystem::path m_home;
    std::filesystem::path m_clientFile;
    std::chrono::milliseconds m_lockWait;
    ReportPrintProgram* m_printer;
};

// Writes the reports in `files` (of the clients `clients`, in the same order) to --pdf, one PDF
// in the order given, and with --print prints the parked reports through the print run, as the
// program does. orvj-report-print draws them, and with --chart each client's profile chart
// after the report, while this run holds the report lock.
void printOrExport(const ReportToolOptions& o, const ReportFolderLock& lock,
                   const std::filesystem::path& executableFolder,
                   const std::filesystem::path& clientFile,
                   const std::vector<std::filesystem::path>& files, const std::vector<int>& clients,
                   const std::vector<ReportRuns::Parked>& parked, std::ostream& out,
                   std::ostream& err) {
    const std::filesystem::path& home = lock.home();
    if (!o.pdf && !o.print) {
        return;
    }
    ReportPrintProgram printer(executableFolder, home, err);
    if (o.pdf) {
        printer.writePdf(*o.pdf, files, o.chart ? clients : std::vector<int>{});
        out << "Wrote " << o.pdf->string() << "\n";
    }
    if (o.print) {
        std::filesystem::path printFolder;
        if (const char* dir = std::getenv("ORVJ_PRINT_DIR"); dir != nullptr && *dir != '\0') {
            printFolder = dir;
        }
        if (parked.empty()) {
            printer.printReportFile(o.chart ? std::optional<int>(clients.front()) : std::nullopt);
        } else {
            ComposingJobs jobs(home, clientFile, o.lockWait, &printer);
            ReportRuns runs(jobs, home);
            if (o.chart) {
                // The print program scores and draws the chart itself: the sheet names the
                // record only.
                runs.setProfiles([](int client) -> std::optional<ProfileData> {
                    ProfileData sheet;
                    sheet.record = client;
                    return sheet;
                });
            }
            try {
                runs.printParked(lock, parked);
            } catch (const ReportRunError& e) {
                throw OrvjError(ErrorCode::DeviceIO, e.message());
            }
        }
        const std::size_t count = parked.empty() ? 1 : parked.size();
        out << "Printed " << count << (count == 1 ? " report" : " reports")
            << (printFolder.empty() ? " on the default printer"
                                    : " into PDF files in " + printFolder.string())
            << "\n";
    }
}

// A PDF that could not be written in the end is refused before any report is composed.
void checkPdfOption(const ReportToolOptions& o) {
    if (o.pdf) {
        ReportFiles::checkPdfTarget(*o.pdf);
    }
}

// Where a command runs and reports: the program folder, orvj-report's own folder, and the
// output and message streams.
struct RunContext {
    std::filesystem::path home;
    std::filesystem::path executableFolder;
    std::ostream& out;
    std::ostream& err;
};

int composeOne(const ReportToolOptions& o, const RunContext& run) {
    const std::filesystem::path& home = run.home;
    std::ostream& out = run.out;
    checkPdfOption(o);
    const ClientData data = loadClients(home);
    checkClientNumber(data, o.client);
    const ReportFolderLock lock(home, o.lockWait);
    ReportWriter writer(home);
    writer.setClientFile(data.file);
    writer.writeReportFile(data.table, o.client, o.reportOption);
    const std::string report = InventoryFiles::readBytes(writer.reportPath());
    out << "Wrote " << writer.reportPath().string() << " (client " << o.client << ", "
        << pageCount(report) << (pageCount(report) == 1 ? " page)\n" : " pages)\n");
    printOrExport(o, lock, run.executableFolder, data.file, {writer.reportPath()}, {o.client}, {},
                  out, run.err);
    return 0;
}

// As "Print all clients' reports" does, through the same run.
int composeAll(const ReportToolOptions& o, const RunContext& run) {
    const std::filesystem::path& home = run.home;
    std::ostream& out = run.out;
    checkPdfOption(o);
    ClientData data = loadClients(home);
    if (data.table.clientCount == 0) {
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        data.file.string() + ": there are no clients in the client file");
    }
    ComposingJobs jobs(home, data.file, o.lockWait);
    ReportRuns runs(jobs, home);
    // Held until the last report is printed: the copies are this run's until then.
    const ReportFolderLock lock = jobs.lockReportFolder();
    std::vector<ReportRuns::Parked> parked;
    try {
        parked = runs.composeAll(lock, data.table, o.reportOption);
    } catch (const ReportRunError& e) {
        throw OrvjError(ErrorCode::DeviceIO,
                        "client " + std::to_string(e.client()) + ": " + e.what());
    }
    std::vector<std::filesystem::path> copies;
    for (const auto& p : parked) {
        copies.push_back(runs.tempFile(p.copyNumber));
    }
    out << "Wrote " << copies.size() << " reports: " << runs.reportFile().string() << " and "
        << copies.front().filename().string() << " to " << copies.back().filename().string()
        << " in " << home.string() << "\n";
    std::vector<int> clients;
    for (const auto& p : parked) {
        clients.push_back(p.client);
    }
    printOrExport(o, lock, run.executableFolder, data.file, copies, clients, parked, out, run.err);
    return 0;
}

std::string displayName(const ClientRecord& r) {
    return ScoresExport::terminalText(r.field(ClientRecord::Field::Name));
}

int listClients(const std::filesystem::path& home, std::ostream& out) {
    const ClientData data = loadClients(home);
    for (int i = 1; i <= data.table.clientCount; ++i) {
        const ClientRecord& r = data.table.at(i);
        const std::string_view answers = r.field(ClientRecord::Field::Responses);
        const auto missing = std::count_if(answers.begin(), answers.end(),
                                           [](char c) { return c < '1' || c > '9'; });
        out << std::setw(3) << i << "  " << displayName(r) << "  "
            << ScoresExport::terminalText(r.field(ClientRecord::Field::TestDate)) << "  ";
        if (missing == 0) {
            out << "complete\n";
        } else {
            out << "incomplete (" << missing << " of 143 unanswered)\n";
        }
    }
    return 0;
}

int listScores(const ReportToolOptions& o, const std::filesystem::path& home, std::ostream& out,
               std::ostream& err) {
    const ClientData data = loadClients(home);
    const Inventory inventory = loadInventory(home);
    const ScaleScorer scorer(inventory.scoring);
    const CriticalRule rule = CriticalRule::read(ConfigFile(home / ConfigFile::kFileName));
    int status = 0;
    std::vector<ScoresExport::Row> scored;
    for (int i = 1; i <= data.table.clientCount; ++i) {
        try {
            const ClientScores scores = scorer.score(data.table.at(i), i);
            scored.push_back({i, &data.table.at(i), scores, rule.flags(scores)});
        } catch (const OrvjError& e) {
            err << "orvj-report: " << data.file.string() << ": " << e.what() << "\n";
            status = 1;
        }
    }
    ScoresExport({o.csv, o.deidentified, o.responses}).write(std::move(scored), out);
    return status;
}

// A listing or an export that did not reach its reader whole (a full disk, a closed pipe) is
// a failure, whatever was composed.
int checkOutput(int status, std::ostream& out, std::ostream& err) {
    errno = 0;
    out.flush();
    if (out) {
        return status;
    }
    const int reason = errno;
    err << "orvj-report: standard output: the output could not be written in full"
        << (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()) << "\n";
    return 1;
}

} // namespace

ClientData loadClients(const std::filesystem::path& home) {
    std::error_code ec;
    if (!std::filesystem::is_directory(home, ec)) {
        throw OrvjError(ErrorCode::PathNotFound,
                        home.string() + (std::filesystem::exists(home, ec)
                                             ? ": names a file, not a program folder"
                                             : ": the program folder does not exist"));
    }
    const ConfigFile config(home / ConfigFile::kFileName);
    if (!std::filesystem::is_regular_file(config.path(), ec)) {
        throw OrvjError(ErrorCode::FileNotFound,
                        config.path().string() +
                            ": the configuration file is missing, so the data folder "
                            "(FilePath in [Path]) is not known");
    }
    const std::string value = config.GetINIFilePath();
    const std::filesystem::path folder = resolveConfiguredFolder(home, value);
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) {
        throw OrvjError(ErrorCode::PathNotFound, config.path().string() + ": the data folder \"" +
                                                     value +
                                                     "\" (FilePath in [Path]) does not exist");
    }
    return loadDataFolder(folder);
}

ClientData loadDataFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    ClientData data{folder / ClientFile::kFileName, {}};
    if (!std::filesystem::exists(data.file, ec)) {
        throw OrvjError(ErrorCode::FileNotFound,
                        data.file.string() + ": cannot open: file not found");
    }
    // Read only: an archived data set on a write-protected share or disc can be reported.
    const auto report = ClientFile(data.file).loadReadOnly(data.table);
    if (report.overflow) {
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        data.file.string() + ": the file holds " +
                            std::to_string(report.recordsInFile) + " records, more than " +
                            std::to_string(ClientTable::kMaxClients));
    }
    return data;
}

int runReportTool(const ReportToolOptions& o, const std::filesystem::path& executableFolder,
                  std::ostream& out, std::ostream& err) {
    if (o.command == Command::Help) {
        out << reportToolHelp() << auditHelp() << "\n"
            << programFolderLine(programFolderInputs(o.home, executableFolder)) << "\n";
        return checkOutput(0, out, err);
    }
#ifdef ORVJ_CORE_ONLY
    if (o.pdf || o.print) {
        err << "orvj-report: --pdf and --print need the full build of orvj-report (with Qt); "
               "this one writes text reports only\n";
        return 2;
    }
#endif
    int status = 1;
    try {
        const std::filesystem::path home = programFolder(o, executableFolder, err);
        switch (o.command) {
        case Command::Client:
            status = composeOne(o, {home, executableFolder, out, err});
            break;
        case Command::All:
            status = composeAll(o, {home, executableFolder, out, err});
            break;
        case Command::List:
            status = listClients(home, out);
            break;
        case Command::Scores:
            status = listScores(o, home, out, err);
            break;
        case Command::Stats:
            status = runStatistics(o, home, out, err);
            break;
        case Command::Compare:
            status = runComparison(o, home, out, err, [&](const RetestComparison&) {
                checkPdfOption(o);
                ReportPrintProgram(executableFolder, home, err).writeComparisonPdf(o);
                out << "Wrote " << o.pdf->string() << "\n";
            });
            break;
        case Command::Audit:
        case Command::Backups:
            status = runAuditCommand(o, home, out, err);
            break;
        default:
            return 2;
        }
        status = recordReportEvent(o, home, status, err);
    } catch (const OrvjError& e) {
        err << "orvj-report: " << e.what() << "\n";
    } catch (const std::filesystem::filesystem_error& e) {
        err << "orvj-report: " << e.what() << "\n";
    }
    return checkOutput(status, out, err);
}

} // namespace orvj
