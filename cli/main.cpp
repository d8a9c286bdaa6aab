#include "cli/ReportTool.h"

#include <iostream>
#include <stdexcept>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    orvj::ReportToolOptions options;
    try {
        options = orvj::parseReportToolArguments(args);
    } catch (const std::invalid_argument& e) {
        std::cerr << "orvj-report: " << e.what() << "\nTry \"orvj-report --help\".\n";
        return 2;
    }
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe", ec);
    if (ec) {
        exe = std::filesystem::absolute(argv[0], ec);
    }
    return orvj::runReportTool(options, exe.parent_path(), std::cout, std::cerr);
}
