#include "tools/report/ReportTool.h"

#include "scoring/CriticalCases.h"
#include "scoring/CsvField.h"
#include "scoring/InventoryFiles.h"
#include "scoring/InventoryLoader.h"
#ifndef ORVJ_CORE_ONLY
#include "scoring/ComparisonPdf.h"
#include "scoring/QtReportJobs.h"
#endif
#include "scoring/ReportJobs.h"
#include "scoring/ReportRuns.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScaleScorer.h"
#include "scoring/Scales.h"
#include "store/ClientFile.h"
#include "store/ConfigFile.h"
#include "store/Cp1252.h"
#include "store/DemographicLabels.h"
#include "store/OrvjError.h"
#include "store/ProgramFolder.h"
#include "store/ReportFiles.h"
#include "store/platform/File.h"
#include "tools/report/StatsCommands.h"

#ifndef ORVJ_CORE_ONLY
#include <QGuiApplication>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <memory>
#include <numeric>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace orvj {
namespace {

using Command = ReportToolOptions::Command;

const char* const kHelp =
    "Usage: orvj-report [--home DIR] COMMAND [OPTIONS]\n"
    "\n"
    "Composes, prints and lists ORV-Juvenile reports from the command line, exactly as the\n"
    "program's windows do. The program folder (inventory files, ORVJTest.ini, REPORT.PRN) is\n"
    "the one given with --home DIR; else the one named by the environment variable ORVJ_HOME;\n"
    "else the folder of this executable when it holds ORVJTest.ini; else the per-user folder\n"
    "$XDG_DATA_HOME/orvj (by default ~/.local/share/orvj), laid out with sample content on\n"
    "its first use. The client file is found through FilePath in [Path] of ORVJTest.ini.\n"
    "\n"
    "Commands:\n"
    "  --client N      compose client N's report into REPORT.PRN in the program folder\n"
    "  --all           compose every client's report, as \"Print all clients' reports\" does:\n"
    "                  REPORT.PRN and the numbered copies temp1, temp2, ... in the program\n"
    "                  folder (REPORT.PRN then holds the last client's report)\n"
    "  --list          list the clients: record number, name, test date, answers complete\n"
    "  --scores        raw score, percentile and risk range of the nine scales for every client\n"
    "  --stats         the office's figures: clients complete, incomplete (valid, some item\n"
    "                  unanswered) and invalid, critical cases, and per scale the clients in\n"
    "                  each risk range and the median percentile, in all, by sex and by race;\n"
    "                  over the current data folder and each --folder DIR\n"
    "  --compare ID    the retest comparison of the youth with this ID number: each test\n"
    "                  (records whose names were deleted left out) in test-date order with\n"
    "                  percentile and risk range per scale and the change from the first to\n"
    "                  the last; over the current data folder, the folders in [Folders] of\n"
    "                  ORVJTest.ini and each --folder DIR; with --pdf FILE also as a PDF\n"
    "                  with the profile charts side by side\n"
    "  --help          show this text\n"
    "\n"
    "Options:\n"
    "  --home DIR      use DIR as the program folder\n"
    "  --option standard|one-page|both\n"
    "                  the report form for --client and --all (default standard)\n"
    "  --pdf FILE      also write the report(s) to a PDF file, one report page to a sheet;\n"
    "                  with --all, one PDF of all reports in record order. An existing\n"
    "                  FILE is replaced only when it is a PDF file or empty\n"
    "  --print         also print the report(s) on the default printer, in record order\n"
    "  --chart         with --pdf or --print: a sheet with the client's profile chart after\n"
    "                  each report\n"
    "  --csv           with --scores: research export, comma-separated values (RFC 4180,\n"
    "                  UTF-8, CR LF line ends) with this header line:\n"
    "                  record,name,id,age,sex,sex label,race,race label,education,\n"
    "                  education label,test date,edit count,validity,critical (yes or no:\n"
    "                  the office's critical-case rule, [Critical] in ORVJTest.ini), then for\n"
    "                  each scale\n"
    "                  \"<SCALE> raw,<SCALE> percentile,<SCALE> risk\"\n"
    "  --deidentified  with --scores: a random study number (new each run) instead of the\n"
    "                  record number, name and ID; the test year instead of the date; no\n"
    "                  edit count. With --csv the header line begins\n"
    "                  study,age,sex,...,education label,test year,validity,critical\n"
    "  --responses     with --scores --csv: add the column \"responses\", the 143 answer codes\n"
    "  --folder DIR    with --stats: also count the client file of the data folder DIR (an\n"
    "                  earlier one); may be given more than once\n"
    "  --since DATE, --until DATE\n"
    "                  with --stats: only tests from or up to DATE (mm/dd/yyyy or\n"
    "                  yyyy-mm-dd); records without a readable date are then left out\n"
    "  --csv           with --stats: one row per group and scale with the header line\n"
    "                  group,clients,complete,incomplete,invalid,critical,scale,low,medium,\n"
    "                  problem,maximum,not scored,median percentile\n"
    "\n"
    "Exit status: 0 on success; 1 when a file or a client could not be read or written (the\n"
    "message on standard error names the file and what was wrong); 2 on a usage error.\n";

// Plain decimal digits only: no sign, no spaces, nothing after them.
int parseNumber(const std::string& text, const std::string& what) {
    const bool digits = !text.empty() && text.size() <= 9 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits) {
        throw std::invalid_argument(what + " must be a record number in plain digits, not \"" +
                                    text + "\"");
    }
    return std::stoi(text);
}

ReportOption parseReportOption(const std::string& text) {
    if (text == "standard" || text == "0") {
        return ReportOption::Standard;
    }
    if (text == "one-page" || text == "1") {
        return ReportOption::OnePage;
    }
    if (text == "both" || text == "2") {
        return ReportOption::Both;
    }
    throw std::invalid_argument("--option must be standard, one-page or both, not \"" + text +
                                "\"");
}

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

#ifndef ORVJ_CORE_ONLY
// Qt's printing needs a GUI application object; without a display it draws offscreen.
std::unique_ptr<QGuiApplication> startGui() {
    if (qGuiApp != nullptr) {
        return nullptr;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Qt's own notices (such as a missing runtime folder) are not the tool's to report; only
    // its errors reach standard error.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "orvj-report: %s\n", message.toLocal8Bit().constData());
        }
    });
    static int argc = 1;
    static char name[] = "orvj-report";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

#endif

int pageCount(const std::string& report) {
    return static_cast<int>(std::count(report.begin(), report.end(), '\f')) + 1;
}

// Composing through the report layer without Qt; printing belongs to the full build.
class ComposingJobs : public ReportJobs {
public:
    ComposingJobs(std::filesystem::path home, std::filesystem::path clientFile,
                  std::chrono::milliseconds lockWait)
        : m_home(std::move(home)), m_clientFile(std::move(clientFile)), m_lockWait(lockWait) {}

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
        throw OrvjError(ErrorCode::DeviceIO, "printing needs the full build of orvj-report");
    }
    void saveReportPdf(const std::filesystem::path&) override { printReportFile(); }
    void printReportText(const std::string&) override { printReportFile(); }
    void saveReportTextPdf(const std::string&, const std::filesystem::path&) override {
        printReportFile();
    }

private:
    std::filesystem::path m_home;
    std::filesystem::path m_clientFile;
    std::chrono::milliseconds m_lockWait;
};

#ifndef ORVJ_CORE_ONLY
// Writes the reports in `files` to --pdf, one PDF in the order given, and with --print prints
// the parked reports through the print run, as the program does.
void printOrExport(const ReportToolOptions& o, const ReportFolderLock& lock,
                   const std::vector<std::filesystem::path>& files,
                   const std::vector<ReportRuns::Parked>& parked,
                   const std::vector<ProfileData>& profiles, std::ostream& out) {
    const std::filesystem::path& home = lock.home();
    if (!o.pdf && !o.print) {
        return;
    }
    const auto gui = startGui();
    if (o.pdf) {
        std::vector<std::string> texts;
        for (const auto& f : files) {
            texts.push_back(QtReportJobs::readReportText(f));
        }
        std::vector<const ProfileData*> sheets;
        for (const ProfileData& p : profiles) {
            sheets.push_back(&p);
        }
        QtReportJobs(home, {*o.pdf, QPageSize::Letter}).printTexts(texts, sheets);
        out << "Wrote " << o.pdf->string() << "\n";
    }
    if (o.print) {
        // On the default printer or, where ORVJ_PRINT_DIR names a folder, into PDF files there.
        PrintTarget target;
        if (const char* dir = std::getenv("ORVJ_PRINT_DIR"); dir != nullptr && *dir != '\0') {
            target.pdfFolder = dir;
        }
        QtReportJobs printer(home, target);
        if (parked.empty()) {
            if (!profiles.empty()) {
                printer.setProfileSheet(profiles.front());
            }
            printer.printReportFile();
        } else {
            try {
                ReportRuns runs(printer, home);
                if (!profiles.empty()) {
                    runs.setProfiles([&profiles](int client) -> std::optional<ProfileData> {
                        for (const ProfileData& p : profiles) {
                            if (p.record == client) {
                                return p;
                            }
                        }
                        return std::nullopt;
                    });
                }
                runs.printParked(lock, parked);
            } catch (const ReportRunError& e) {
                throw OrvjError(ErrorCode::DeviceIO, e.message());
            }
        }
        const std::size_t count = parked.empty() ? 1 : parked.size();
        out << "Printed " << count << (count == 1 ? " report" : " reports")
            << (target.pdfFolder.empty() ? " on the default printer"
                                         : " into PDF files in " + target.pdfFolder.string())
            << "\n";
    }
}
#else
void printOrExport(const ReportToolOptions&, const ReportFolderLock&,
                   const std::vector<std::filesystem::path>&,
                   const std::vector<ReportRuns::Parked>&, const std::vector<ProfileData>&,
                   std::ostream&) {}
#endif

#ifndef ORVJ_CORE_ONLY
} // namespace

void writeComparisonPdf(const RetestComparison& comparison, const std::filesystem::path& pdf,
                        std::ostream& out) {
    QtReportJobs::checkPdfTarget(pdf);
    const auto gui = startGui();
    QtReportJobs::writePdfFile(pdf, comparisonPdf(comparison));
    out << "Wrote " << pdf.string() << "\n";
}

namespace {
#endif

// A PDF that could not be written in the end is refused before any report is composed.
void checkPdfOption([[maybe_unused]] const ReportToolOptions& o) {
#ifndef ORVJ_CORE_ONLY
    if (o.pdf) {
        QtReportJobs::checkPdfTarget(*o.pdf);
    }
#endif
}

int composeOne(const ReportToolOptions& o, const std::filesystem::path& home, std::ostream& out) {
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
    printOrExport(o, lock, {writer.reportPath()}, {},
                  chartProfiles(o, home, data.table, {o.client}), out);
    return 0;
}

// As "Print all clients' reports" does, through the same run.
int composeAll(const ReportToolOptions& o, const std::filesystem::path& home, std::ostream& out) {
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
    printOrExport(o, lock, copies, parked, chartProfiles(o, home, data.table, clients), out);
    return 0;
}

// Record text in UTF-8 with every control character (C0, DEL, C1) made a space, so that a
// name cannot steer the terminal or break a line; `keepLineBreaks` keeps CR and LF, which a
// quoted CSV field may hold.
std::string withoutControls(std::string_view utf8, bool keepLineBreaks) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            out += ' ';
            ++i;
        } else if ((c < 0x20 && !(keepLineBreaks && (c == '\r' || c == '\n'))) || c == 0x7F) {
            out += ' ';
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string terminalText(std::string_view cp1252) {
    return withoutControls(cp1252ToUtf8(cp1252), false);
}

std::string displayName(const ClientRecord& r) {
    return terminalText(r.field(ClientRecord::Field::Name));
}

int listClients(const std::filesystem::path& home, std::ostream& out) {
    const ClientData data = loadClients(home);
    for (int i = 1; i <= data.table.clientCount; ++i) {
        const ClientRecord& r = data.table.at(i);
        const std::string_view answers = r.field(ClientRecord::Field::Responses);
        const auto missing = std::count_if(answers.begin(), answers.end(),
                                           [](char c) { return c < '1' || c > '9'; });
        out << std::setw(3) << i << "  " << displayName(r) << "  "
            << terminalText(r.field(ClientRecord::Field::TestDate)) << "  ";
        if (missing == 0) {
            out << "complete\n";
        } else {
            out << "incomplete (" << missing << " of 143 unanswered)\n";
        }
    }
    return 0;
}

// A text field of a client record in the export. One that a spreadsheet would take for a
// formula gets a leading apostrophe, so that opening the export runs nothing.
std::string csvText(std::string_view cp1252) {
    std::string text = cp1252ToUtf8(cp1252);
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos) {
        text.insert(0, 1, '\'');
    }
    return csvField(withoutControls(text, true));
}

std::string trimmedLabel(std::string label) {
    return label.substr(0, label.find_last_not_of(' ') + 1);
}

// A one-digit demographic code and its label (empty for a code outside the table).
std::string codeAndLabel(const ClientRecord& r, ClientRecord::Field field,
                         std::string (*label)(int)) {
    const std::string code = r.trimmed(field);
    const bool digit = code.size() == 1 && code[0] >= '0' && code[0] <= '9';
    return csvText(code) + "," +
           csvField(digit ? trimmedLabel(label(code[0] - '0')) : std::string());
}

void csvHeader(const ReportToolOptions& o, std::ostream& out) {
    out << (o.deidentified ? "study" : "record,name,id");
    out << ",age,sex,sex label,race,race label,education,education label,"
        << (o.deidentified ? "test year" : "test date,edit count") << ",validity,critical";
    for (int n = 1; n <= Scales::kCount; ++n) {
        out << "," << Scales::name(n) << " raw," << Scales::name(n) << " percentile,"
            << Scales::name(n) << " risk";
    }
    out << (o.responses ? ",responses\r\n" : "\r\n");
}

// A number below `bound` from the system's random source, every one equally likely: draws
// under 2^32 mod bound are thrown away, as they would favour the small numbers.
std::uint32_t randomBelow(std::uint32_t bound) {
    const std::uint32_t unfair = (std::uint32_t{0} - bound) % bound;
    for (;;) {
        std::uint32_t draw = 0;
        platform::randomBytes(&draw, sizeof draw);
        if (draw >= unfair) {
            return draw % bound;
        }
    }
}

// Study numbers 1 to n in a random order, drawn afresh on every run, so that neither a study
// number nor the order of the rows leads back to a record number.
std::vector<int> studyNumbers(std::size_t n) {
    std::vector<int> numbers(n);
    std::iota(numbers.begin(), numbers.end(), 1);
    for (std::size_t i = n; i > 1; --i) {
        std::swap(numbers[i - 1], numbers[randomBelow(static_cast<std::uint32_t>(i))]);
    }
    return numbers;
}

// The year of a test date stored as mm/dd/yyyy; empty when the date is not in that form.
std::string testYear(const std::string& date) {
    const std::string year = date.substr(date.find_last_of('/') + 1);
    const bool digits =
        year.size() == 4 && year.find_first_not_of("0123456789") == std::string::npos;
    return digits ? year : std::string();
}

struct ScoredClient {
    int number = 0; // the record number, or the study number when de-identified
    const ClientRecord* record = nullptr;
    ClientScores scores;
    bool critical = false; // by the office's rule ([Critical] of ORVJTest.ini)
};

void writeScores(const ReportToolOptions& o, const ScoredClient& c, std::ostream& out) {
    const ClientRecord& r = *c.record;
    const ClientScores& s = c.scores;
    auto risk = [&](int n) {
        return s.notScorable(n) ? std::string("NOT SCORED") : Scales::riskName(s.pct(n));
    };
    using Field = ClientRecord::Field;
    if (!o.csv) {
        out << std::setw(3) << c.number << "  "
            << (o.deidentified ? std::string() : terminalText(r.trimmed(Field::Name)))
            << (s.invalid() ? "  INVALID TEST (Truthfulness 95 or more)" : "") << "\n";
        for (int n = 1; n <= Scales::kCount; ++n) {
            out << "       " << std::left << std::setw(15) << Scales::name(n) << std::right
                << "raw " << std::setw(4) << s.raw(n) << "   percentile " << std::setw(2)
                << s.pct(n) << "   " << risk(n) << "\n";
        }
        return;
    }
    out << c.number;
    if (!o.deidentified) {
        out << "," << csvText(r.trimmed(Field::Name)) << "," << csvText(r.trimmed(Field::SSN));
    }
    out << "," << csvText(r.trimmed(Field::Age)) << ","
        << codeAndLabel(r, Field::Gender, DemographicLabels::sex) << ","
        << codeAndLabel(r, Field::Race, DemographicLabels::race) << ","
        << codeAndLabel(r, Field::Education, DemographicLabels::education) << ",";
    if (o.deidentified) {
        out << testYear(r.trimmed(Field::TestDate));
    } else {
        out << csvText(r.trimmed(Field::TestDate)) << "," << csvText(r.trimmed(Field::EditCount));
    }
    out << "," << (s.invalid() ? "invalid" : "valid") << "," << (c.critical ? "yes" : "no");
    for (int n = 1; n <= Scales::kCount; ++n) {
        out << "," << s.raw(n) << "," << s.pct(n) << "," << risk(n);
    }
    if (o.responses) {
        out << "," << csvText(r.field(Field::Responses));
    }
    out << "\r\n";
}

int listScores(const ReportToolOptions& o, const std::filesystem::path& home, std::ostream& out,
               std::ostream& err) {
    const ClientData data = loadClients(home);
    const Inventory inventory = loadInventory(home);
    const ScaleScorer scorer(inventory.scoring);
    const CriticalRule rule = CriticalRule::read(ConfigFile(home / ConfigFile::kFileName));
    int status = 0;
    std::vector<ScoredClient> scored;
    for (int i = 1; i <= data.table.clientCount; ++i) {
        try {
            const ClientScores scores = scorer.score(data.table.at(i), i);
            scored.push_back({i, &data.table.at(i), scores, rule.flags(scores)});
        } catch (const OrvjError& e) {
            err << "orvj-report: " << data.file.string() << ": " << e.what() << "\n";
            status = 1;
        }
    }
    if (o.deidentified) {
        const std::vector<int> study = studyNumbers(scored.size());
        for (std::size_t k = 0; k < scored.size(); ++k) {
            scored[k].number = study[k];
        }
        std::sort(scored.begin(), scored.end(),
                  [](const ScoredClient& a, const ScoredClient& b) { return a.number < b.number; });
    }
    if (o.csv) {
        csvHeader(o, out);
    }
    for (const ScoredClient& c : scored) {
        writeScores(o, c, out);
    }
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

const char* reportToolHelp() {
    return kHelp;
}

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

ReportToolOptions parseReportToolArguments(const std::vector<std::string>& args) {
    ReportToolOptions o;
    bool optionGiven = false;
    std::vector<std::string> seen;
    // A command option given twice is a usage error: which one was meant is not ours to guess.
    auto once = [&](const std::string& arg) {
        if (std::find(seen.begin(), seen.end(), arg) != seen.end()) {
            throw std::invalid_argument(arg + " is given more than once");
        }
        seen.push_back(arg);
    };
    auto setCommand = [&](Command c, const std::string& arg) {
        if (o.command != Command::None && o.command != c) {
            throw std::invalid_argument(
                "choose one of --client, --all, --list, --scores, --stats (" + arg +
                " given after another)");
        }
        o.command = c;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw std::invalid_argument(a + " needs a value");
            }
            return args[++i];
        };
        if (takeHomeOption(args, i, o.home)) {
            continue;
        }
        if (a.rfind("--", 0) == 0 && a != "--folder") {
            once(a);
        }
        if (a == "--help" || a == "-h") {
            o.command = Command::Help;
            return o;
        } else if (a == "--client") {
            setCommand(Command::Client, a);
            o.client = parseNumber(value(), "--client");
        } else if (a == "--all") {
            setCommand(Command::All, a);
        } else if (a == "--list") {
            setCommand(Command::List, a);
        } else if (a == "--scores") {
            setCommand(Command::Scores, a);
        } else if (a == "--option") {
            o.reportOption = parseReportOption(value());
            optionGiven = true;
        } else if (a == "--pdf") {
            o.pdf = std::filesystem::path(value());
        } else if (a == "--print") {
            o.print = true;
        } else if (a == "--csv") {
            o.csv = true;
        } else if (a == "--deidentified") {
            o.deidentified = true;
        } else if (a == "--responses") {
            o.responses = true;
        } else if (takeStatsArgument(a, value, o)) {
            if (a == "--stats") {
                setCommand(Command::Stats, a);
            } else if (a == "--compare") {
                setCommand(Command::Compare, a);
            }
        } else {
            throw std::invalid_argument("unknown argument \"" + a + "\"");
        }
    }
    if (o.command == Command::None) {
        throw std::invalid_argument(
            "say what to do: --client N, --all, --list, --scores or --stats");
    }
    const bool reports = o.command == Command::Client || o.command == Command::All;
    if (!reports && (optionGiven || o.print || (o.pdf && o.command != Command::Compare))) {
        throw std::invalid_argument("--option, --pdf and --print go with --client or --all "
                                    "(--pdf also with --compare)");
    }
    if (o.csv && o.command != Command::Scores && o.command != Command::Stats) {
        throw std::invalid_argument("--csv goes with --scores or --stats");
    }
    checkStatsArguments(o);
    if (o.deidentified && o.command != Command::Scores) {
        throw std::invalid_argument("--deidentified goes with --scores");
    }
    if (o.responses && !o.csv) {
        throw std::invalid_argument("--responses goes with --scores --csv");
    }
    return o;
}

int runReportTool(const ReportToolOptions& o, const std::filesystem::path& executableFolder,
                  std::ostream& out, std::ostream& err) {
    if (o.command == Command::Help) {
        out << kHelp << "\n"
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
            status = composeOne(o, home, out);
            break;
        case Command::All:
            status = composeAll(o, home, out);
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
            status = runComparison(o, home, out, err);
            break;
        default:
            return 2;
        }
    } catch (const OrvjError& e) {
        err << "orvj-report: " << e.what() << "\n";
    } catch (const std::filesystem::filesystem_error& e) {
        err << "orvj-report: " << e.what() << "\n";
    }
    return checkOutput(status, out, err);
}

} // namespace orvj
