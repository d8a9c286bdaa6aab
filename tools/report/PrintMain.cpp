// orvj-report-print: the printing and PDF half of orvj-report, which starts it for --pdf and
// --print while it holds the program folder's report lock.
//
//   orvj-report-print --home DIR --pdf FILE REPORT...   one PDF of the report files
//   orvj-report-print --home DIR --print                DIR's REPORT.PRN on the printer
//
// A failure ends it with status 1 and its message as the last line on standard error.
#include "scoring/QtReportJobs.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
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
    "Usage: orvj-report-print --home DIR --pdf FILE REPORT...\n"
    "       orvj-report-print --home DIR --print\n"
    "\n"
    "orvj-report starts this program for its --pdf and --print options, while it holds the\n"
    "program folder's report lock: --pdf writes the report files REPORT... to one PDF FILE,\n"
    "--print prints REPORT.PRN of DIR (into ORVJ_PRINT_DIR when that names a folder).\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    orvj::platform::restrictNewFileModes();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (args.size() < 3 || args[0] != "--home") {
        return usage();
    }
    const std::filesystem::path home = args[1];
    const bool pdf = args[2] == "--pdf" && args.size() >= 5;
    const bool print = args[2] == "--print" && args.size() == 3;
    if (!pdf && !print) {
        return usage();
    }
    try {
        const auto gui = startGui();
        if (pdf) {
            std::vector<std::string> texts;
            for (std::size_t k = 4; k < args.size(); ++k) {
                texts.push_back(orvj::QtReportJobs::readReportText(args[k]));
            }
            orvj::QtReportJobs(home, {args[3], QPageSize::Letter}).printTexts(texts);
        } else {
            // On the default printer or, where ORVJ_PRINT_DIR names a folder, into PDF files
            // there.
            orvj::PrintTarget target;
            if (const char* dir = std::getenv("ORVJ_PRINT_DIR"); dir != nullptr && *dir != '\0') {
                target.pdfFolder = dir;
            }
            orvj::QtReportJobs(home, target).printReportFile();
        }
    } catch (const orvj::OrvjError& e) {
        std::cerr << "orvj-report: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "orvj-report: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
