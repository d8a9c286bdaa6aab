#include "store/platform/File.h"
#include "tools/report/ReportTool.h"

#include <iostream>
#include <stdexcept>

int main(int argc, char** argv) {
    // Reports and exports hold client names: private unless a folder shares them.
    orvj::platform::restrictNewFileModes();
    std::vector<std::string> args(argv + 1, argv + argc);
    orvj::ReportToolOptions options;
    try {
        options = orvj::parseReportToolArguments(args);
    } catch (const std::invalid_argument& e) {
        std::cerr << "orvj-report: " << e.what() << "\nTry \"orvj-report --help\".\n";
        return 2;
    }
    return orvj::runReportTool(options, orvj::platform::executableFolder(argv[0]), std::cout,
                               std::cerr);
}
