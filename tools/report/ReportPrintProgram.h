#pragma once

#include "tools/report/ReportToolArguments.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orvj {

// orvj-report-print, the program beside orvj-report that draws reports on the printer and
// into PDF files. orvj-report starts it only for --pdf and --print, so that composing, listing
// and exporting load no window system. It works in the program folder while its caller holds
// the folder's report lock.
class ReportPrintProgram {
public:
    static constexpr const char* kName = "orvj-report-print";

    // `folder` is the folder of orvj-report, which holds the program; its notices go to `err`.
    ReportPrintProgram(const std::filesystem::path& folder, std::filesystem::path home,
                       std::ostream& err)
        : m_program(folder / kName), m_home(std::move(home)), m_err(err) {}

    // One PDF of the report files in the order given, a report page to a sheet; with `charts`
    // (the reports' record numbers) each report followed by its client's profile chart.
    void writePdf(const std::filesystem::path& pdf,
                  const std::vector<std::filesystem::path>& reports,
                  const std::vector<int>& charts = {});
    // REPORT.PRN of the program folder on the default printer or, where ORVJ_PRINT_DIR names a
    // folder, into the next print file there; with `chart`, that record's profile chart after it.
    void printReportFile(std::optional<int> chart = std::nullopt);
    // The PDF of --compare ID (--pdf FILE, --folder DIR...) of `o`.
    void writeComparisonPdf(const ReportToolOptions& o);

private:
    // Throws OrvjError with the program's own message when it fails.
    void run(std::vector<std::string> args);

    std::filesystem::path m_program;
    std::filesystem::path m_home;
    std::ostream& m_err;
};

} // namespace orvj
