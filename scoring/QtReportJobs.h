#pragma once

#include "scoring/ReportJobs.h"

#include <QPageSize>

#include <chrono>
#include <filesystem>

namespace orvj {

// Where printed reports go: the system's default printer, or a PDF file (tests, the
// command-line tool).
struct PrintTarget {
    std::filesystem::path pdfFile; // empty: the default printer
    QPageSize::PageSizeId pdfPaper = QPageSize::Letter;
    // When set (and no pdfFile), every print job becomes the next free print-NNN.pdf here:
    // for offices without a printer, and for trying the program out.
    std::filesystem::path pdfFolder{};
};

// Reporting for the forms: REPORT.PRN in the program folder, composed, read and printed.
class QtReportJobs : public ReportJobs {
public:
    explicit QtReportJobs(std::filesystem::path home, PrintTarget target = {})
        : m_home(std::move(home)), m_target(std::move(target)) {}

    // The client file the tables come from, named in the message about a bad record.
    void setClientFile(std::filesystem::path file) { m_clientFile = std::move(file); }

    // How long a run waits for the program folder's report lock.
    void setLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

    ReportFolderLock lockReportFolder() override;
    void compose(const ClientTable& clients, int client, ReportOption option) override;
    std::string readReportText() override;
    void printReportFile() override;
    void saveReportPdf(const std::filesystem::path& pdfFile) override;
    void printReportText(const std::string& text) override;
    void saveReportTextPdf(const std::string& text, const std::filesystem::path& pdfFile) override;

    // Prints report texts in one job on the target; each report starts on a new sheet.
    // `profiles`: as ReportPrinter takes them, a profile chart sheet after a report.
    void printTexts(const std::vector<std::string>& texts,
                    const std::vector<const ProfileData*>& profiles = {}) const;
    static void printTexts(const std::vector<std::string>& texts, const PrintTarget& target,
                           const std::vector<const ProfileData*>& profiles = {});

    // The file without its final character. Throws OrvjError when it is missing or empty.
    static std::string readReportText(const std::filesystem::path& reportFile);

    // Refuses (OrvjError) to let a PDF replace `pdfFile` when that holds something else than
    // a PDF, such as a client file or an inventory file; a missing or empty file is fine.
    static void checkPdfTarget(const std::filesystem::path& pdfFile);

    // Writes a PDF document whole under `pdfFile`: beside it first, then renamed over it, so
    // that a fault leaves the earlier file as it was and no part of the new one.
    static void writePdfFile(const std::filesystem::path& pdfFile, const std::string& pdf);

    // Puts a PDF document into the next free print-NNN.pdf of `folder`; returns its name.
    static std::filesystem::path writeNextPrintFile(const std::filesystem::path& folder,
                                                    const std::string& pdf);

private:
    std::filesystem::path m_home;
    PrintTarget m_target;
    std::filesystem::path m_clientFile;
    std::chrono::milliseconds m_lockWait = ReportFolderLock::kDefaultWait;
};

} // namespace orvj
