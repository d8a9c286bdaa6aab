#include "tools/report/ReportPrintProgram.h"

#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <ostream>

namespace orvj {

namespace {
constexpr std::string_view kPrefix = "orvj-report: ";

// Record numbers as the print program takes them: "3,7,12".
std::string recordList(const std::vector<int>& records) {
    std::string list;
    for (int r : records) {
        list += (list.empty() ? "" : ",") + std::to_string(r);
    }
    return list;
}

} // namespace

void ReportPrintProgram::writePdf(const std::filesystem::path& pdf,
                                  const std::vector<std::filesystem::path>& reports,
                                  const std::vector<int>& charts) {
    std::vector<std::string> args{"--pdf", pdf.string()};
    if (!charts.empty()) {
        args.insert(args.end(), {"--chart", recordList(charts)});
    }
    for (const auto& r : reports) {
        args.push_back(r.string());
    }
    run(std::move(args));
}

void ReportPrintProgram::printReportFile(std::optional<int> chart) {
    if (chart) {
        run({"--print", "--chart", std::to_string(*chart)});
    } else {
        run({"--print"});
    }
}

void ReportPrintProgram::writeComparisonPdf(const ReportToolOptions& o) {
    std::vector<std::string> args{"--compare", o.compareId, "--pdf", o.pdf->string()};
    for (const auto& folder : o.folders) {
        args.insert(args.end(), {"--folder", folder.string()});
    }
    run(std::move(args));
}

// The program's last line on standard error is its message when it fails; the lines before it
// (notices of the window system) are passed on as they are.
void ReportPrintProgram::run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--home", m_home.string()});
    std::string messages;
    const int status = platform::runProgram(m_program, args, messages);
    while (!messages.empty() && messages.back() == '\n') {
        messages.pop_back();
    }
    if (status == 0) {
        if (!messages.empty()) {
            m_err << messages << "\n";
        }
        return;
    }
    const std::size_t lastLine = messages.rfind('\n');
    std::string message = lastLine == std::string::npos ? messages : messages.substr(lastLine + 1);
    if (lastLine != std::string::npos) {
        m_err << messages.substr(0, lastLine) << "\n";
    }
    if (message.rfind(kPrefix, 0) == 0) {
        message.erase(0, kPrefix.size());
    }
    if (message.empty()) {
        message = m_program.string() + ": ended with status " + std::to_string(status);
    }
    throw OrvjError(ErrorCode::DeviceIO, message);
}

} // namespace orvj
