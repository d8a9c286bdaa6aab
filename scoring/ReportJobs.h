#pragma once

#include "core/ClientTable.h"
#include "core/ReportOption.h"
#include "scoring/ProfileData.h"
#include "store/ReportFolderLock.h"

#include <filesystem>
#include <optional>
#include <string>

namespace orvj {

// What the forms ask of reporting: compose a client's report into REPORT.PRN in the program
// folder, read it back, print it. Every operation throws OrvjError on a fault, and a failed
// composition leaves no REPORT.PRN behind.
class ReportJobs {
public:
    virtual ~ReportJobs() = default;

    // The program folder's report lock for one run. Everything that writes or reads back
    // REPORT.PRN or a numbered copy happens while it is held, so that two runs in one program
    // folder take turns. Throws OrvjError (FileLocked) when another holder keeps it too long.
    virtual ReportFolderLock lockReportFolder() = 0;

    virtual void compose(const ClientTable& clients, int client, ReportOption option) = 0;
    // The report text as the viewer shows it: the file without its final character,
    // Windows-1252 bytes.
    virtual std::string readReportText() = 0;
    // Prints REPORT.PRN on the default printer, one report page per sheet.
    virtual void printReportFile() = 0;
    // Writes REPORT.PRN as a PDF file with the same pages as its printout.
    virtual void saveReportPdf(const std::filesystem::path& pdfFile) = 0;
    // The same for a report text held in memory (as readReportText gives it): what the viewer
    // shows is what it prints, whatever REPORT.PRN holds by then. No lock is needed.
    virtual void printReportText(const std::string& text) = 0;
    virtual void saveReportTextPdf(const std::string& text,
                                   const std::filesystem::path& pdfFile) = 0;

    // A profile chart sheet after the report in the next prints and PDFs (every print and
    // save above); nothing: the report alone.
    void setProfileSheet(std::optional<ProfileData> profile) {
        m_profileSheet = std::move(profile);
    }
    const std::optional<ProfileData>& profileSheet() const { return m_profileSheet; }

private:
    std::optional<ProfileData> m_profileSheet;
};

} // namespace orvj
