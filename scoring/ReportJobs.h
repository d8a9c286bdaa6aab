#pragma once

#include "core/ClientTable.h"
#include "core/ReportOption.h"

#include <filesystem>
#include <string>

namespace orvj {

// What the forms ask of reporting: compose a client's report into REPORT.PRN in the program
// folder, read it back, print it. Every operation throws OrvjError on a fault, and a failed
// composition leaves no REPORT.PRN behind.
class ReportJobs {
public:
    virtual ~ReportJobs() = default;

    virtual void compose(const ClientTable& clients, int client, ReportOption option) = 0;
    // The report text as the viewer shows it: the file without its final character,
    // Windows-1252 bytes.
    virtual std::string readReportText() = 0;
    // Prints REPORT.PRN on the default printer, one report page per sheet.
    virtual void printReportFile() = 0;
    // Writes REPORT.PRN as a PDF file with the same pages as its printout.
    virtual void saveReportPdf(const std::filesystem::path& pdfFile) = 0;
};

} // namespace orvj
