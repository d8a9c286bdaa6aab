// orvj-report-print: the printing and PDF half of orvj-report, which starts it for --pdf and
// --print while it holds the program folder's report lock.
//
//   orvj-report-print --home DIR --pdf FILE [--chart R,R...] REPORT...
//                                     one PDF of the report files (with each client's chart)
//   orvj-report-print --home DIR --print [--chart R]    DIR's REPORT.PRN on the printer
//   orvj-report-print --home DIR --compare ID --pdf FILE [--folder DIR]...
//                                     the retest comparison of ID as a PDF
//
// A failure ends it with status 1 and its message as the last line on standard error.
#include "scoring/ComparisonPdf.h"
#include "scoring/QtReportJobs.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"
#include "tools/report/ReportTool.h"
#include "tools/report/StatsCommands.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Qt's printing needs a GUI application object; without a display it draws offscreen.
std::unique_ptr<QGuiApplication> startGui() {
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

const char* const kUsage =
    "Usage: orvj-report-print --home DIR --pdf FILE [--chart R,R...] REPORT...\n"
    "       orvj-report-print --home DIR --print [--chart R]\n"
    "       orvj-report-print --home DIR --compare ID --pdf FILE [--folder DIR]...\n"
    "\n"
    "orvj-report starts this program for its --pdf and --print options, while it holds the\n"
    "program folder's report lock: --pdf writes the report files REPORT... to one PDF FILE,\n"
    "--print prints REPORT.PRN of DIR (into ORVJ_PRINT_DIR when that names a folder); --chart\n"
    "adds the profile chart of each record R after its report. --compare writes the retest\n"
    "comparison of the youth with ID number ID to FILE.\n";

// "3,7,12" as record numbers; throws on anything else.
std::vector<int> records(const std::string& list) {
    std::vector<int> out;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string one = list.substr(start, end - start);
        if (one.empty() || one.size() > 9 ||
            one.find_first_not_of("0123456789") != std::string::npos) {
            throw std::invalid_argument("--chart takes record numbers, not \"" + list + "\"");
        }
        out.push_back(std::stoi(one));
        start = end + 1;
    }
    return out;
}

// The profile charts of `clients`, scored as their reports are.
std::vector<orvj::ProfileData> charts(const std::filesystem::path& home,
                                      const std::vector<int>& clients) {
    orvj::ReportToolOptions o;
    o.chart = true;
    const orvj::ClientData data = orvj::loadClients(home);
    for (int client : clients) {
        if (client < 1 || client > data.table.clientCount) {
            throw orvj::OrvjError(orvj::ErrorCode::SubscriptOutOfRange,
                                  data.file.string() + ": client " + std::to_string(client) +
                                      " is not in the client file");
        }
    }
    return orvj::chartProfiles(o, home, data.table, clients);
}

int usage() {
    std::cerr << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    orvj::platform::restrictNewFileModes();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (args.size() < 3 || args[0] != "--home") {
        return usage();
    }
    const std::filesystem::path home = args[1];
    args.erase(args.begin(), args.begin() + 2);
    try {
        std::vector<int> chartOf;
        const auto takeChart = [&](std::size_t at) {
            if (args.size() > at + 1 && args[at] == "--chart") {
                chartOf = records(args[at + 1]);
                args.erase(args.begin() + static_cast<std::ptrdiff_t>(at),
                           args.begin() + static_cast<std::ptrdiff_t>(at) + 2);
            }
        };
        const bool compare = args.size() >= 4 && args[0] == "--compare" && args[2] == "--pdf";
        if (!compare) {
            takeChart(args.size() >= 2 && args[0] == "--pdf" ? 2 : 1);
        }
        const bool pdf = !compare && args.size() >= 3 && args[0] == "--pdf" &&
                         (chartOf.empty() || chartOf.size() == args.size() - 2);
        const bool print =
            !compare && args.size() == 1 && args[0] == "--print" && chartOf.size() <= 1;
        if (!pdf && !print && !compare) {
            return usage();
        }
        const auto gui = startGui();
        if (compare) {
            orvj::ReportToolOptions o;
            o.compareId = args[1];
            o.pdf = std::filesystem::path(args[3]);
            for (std::size_t k = 4; k + 1 < args.size() && args[k] == "--folder"; k += 2) {
                o.folders.emplace_back(args[k + 1]);
            }
            orvj::QtReportJobs::checkPdfTarget(*o.pdf);
            orvj::QtReportJobs::writePdfFile(*o.pdf,
                                             orvj::comparisonPdf(orvj::findComparison(o, home)));
        } else if (pdf) {
            std::vector<std::string> texts;
            for (std::size_t k = 2; k < args.size(); ++k) {
                texts.push_back(orvj::QtReportJobs::readReportText(args[k]));
            }
            const std::vector<orvj::ProfileData> profiles = charts(home, chartOf);
            std::vector<const orvj::ProfileData*> sheets;
            for (const auto& p : profiles) {
                sheets.push_back(&p);
            }
            orvj::QtReportJobs(home, {args[1], QPageSize::Letter}).printTexts(texts, sheets);
        } else {
            // On the default printer or, where ORVJ_PRINT_DIR names a folder, into PDF files
            // there.
            orvj::PrintTarget target;
            if (const char* dir = std::getenv("ORVJ_PRINT_DIR"); dir != nullptr && *dir != '\0') {
                target.pdfFolder = dir;
            }
            orvj::QtReportJobs printer(home, target);
            if (!chartOf.empty()) {
                printer.setProfileSheet(charts(home, chartOf).front());
            }
            printer.printReportFile();
        }
    } catch (const orvj::OrvjError& e) {
        std::cerr << "orvj-report: " << e.what() << "\n";
        return 1;
    } catch (const std::invalid_argument& e) {
        std::cerr << "orvj-report-print: " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "orvj-report: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
