#include "scoring/QtReportJobs.h"

#include "scoring/InventoryFiles.h"
#include "scoring/ReportPrinter.h"
#include "scoring/ReportWriter.h"
#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "store/ReportFiles.h"
#include "store/platform/File.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>
#include <cstring>
#include <optional>

namespace orvj {
namespace {

// The busy pointer while the printer works, restored whatever happens.
class BusyPointer {
public:
    BusyPointer() : m_active(qGuiApp != nullptr) {
        if (m_active) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    ~BusyPointer() {
        if (m_active) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    bool m_active;
};

} // namespace

ReportFolderLock QtReportJobs::lockReportFolder() {
    return ReportFolderLock(m_home, m_lockWait);
}

void QtReportJobs::compose(const ClientTable& clients, int client, ReportOption option) {
    ReportWriter writer(m_home);
    writer.setClientFile(m_clientFile);
    writer.writeReportFile(clients, client, option);
}

std::string QtReportJobs::readReportText(const std::filesystem::path& reportFile) {
    std::string text = InventoryFiles::readBytes(reportFile);
    if (text.empty()) {
        throw OrvjError(ErrorCode::InputPastEnd,
                        reportFile.string() + ": the report file is empty");
    }
    text.pop_back();
    return text;
}

std::string QtReportJobs::readReportText() {
    return readReportText(ReportFiles::reportFile(m_home));
}

void QtReportJobs::printTexts(const std::vector<std::string>& texts,
                              const std::vector<const ProfileData*>& profiles) const {
    printTexts(texts, m_target, profiles);
}

void QtReportJobs::printTexts(const std::vector<std::string>& texts, const PrintTarget& target,
                              const std::vector<const ProfileData*>& profiles) {
    if (!target.pdfFile.empty()) {
        writePdfFile(target.pdfFile, ReportPrinter::pdfOf(texts, target.pdfPaper, profiles));
        return;
    }
    if (!target.pdfFolder.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(target.pdfFolder, ec)) {
            throw OrvjError(ErrorCode::PathNotFound,
                            target.pdfFolder.string() + ": the print folder does not exist");
        }
        writeNextPrintFile(target.pdfFolder,
                           ReportPrinter::pdfOf(texts, target.pdfPaper, profiles));
        return;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        throw OrvjError(ErrorCode::DeviceIO, "cannot print: no default printer is set up");
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(info.printerName());
    printer.setDocName(QStringLiteral("ORV-Juvenile Report"));
    ReportPrinter::print(printer, texts, profiles);
}

void QtReportJobs::checkPdfTarget(const std::filesystem::path& pdfFile) {
    ReportFiles::checkPdfTarget(pdfFile);
}

void QtReportJobs::writePdfFile(const std::filesystem::path& pdfFile, const std::string& pdf) {
    const std::string what = "writing the PDF file";
    const std::filesystem::path target = resolveOwnLink(pdfFile, what);
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        throw OrvjError(ErrorCode::PathNotFound, pdfFile.string() + ": " + what + ": the folder " +
                                                     folder.string() + " does not exist");
    }
    checkPdfTarget(target);
    replaceFileContent(target, pdf, what);
}

std::filesystem::path QtReportJobs::writeNextPrintFile(const std::filesystem::path& folder,
                                                       const std::string& pdf) {
    const std::string what = "writing the print file";
    constexpr int kLastNumber = 99999;
    for (int n = 1; n <= kLastNumber; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "print-%03d.pdf", n);
        const std::filesystem::path file = folder / name;
        platform::FileIdentity taken;
        if (platform::identityOf(file, taken)) {
            continue;
        }
        // The number is claimed by making the file exclusively, so that neither a file nor a
        // link already under the name is ever written; the content follows through a
        // temporary, so the name never holds part of a document.
        std::optional<platform::File> claim;
        try {
            claim.emplace(platform::File::open(file, platform::File::Mode::CreateNew, what));
        } catch (const OrvjError&) {
            if (platform::identityOf(file, taken)) {
                continue; // made by another program meanwhile
            }
            throw;
        }
        const platform::FileIdentity claimed = claim->identity();
        try {
            claim->close(what);
            replaceFileContent(file, pdf, what);
        } catch (...) {
            platform::FileIdentity now;
            if (platform::identityOf(file, now) && now == claimed) {
                platform::removeFile(file);
            }
            throw;
        }
        return file;
    }
    throw OrvjError(ErrorCode::DiskFull, folder.string() + ": " + what +
                                             ": every print file name up to print-" +
                                             std::to_string(kLastNumber) + ".pdf is taken");
}

void QtReportJobs::printReportFile() {
    BusyPointer busy;
    printTexts({readReportText()}, {profileSheet() ? &*profileSheet() : nullptr});
}

void QtReportJobs::printReportText(const std::string& text) {
    BusyPointer busy;
    printTexts({text}, {profileSheet() ? &*profileSheet() : nullptr});
}

void QtReportJobs::saveReportPdf(const std::filesystem::path& pdfFile) {
    saveReportTextPdf(readReportText(), pdfFile);
}

void QtReportJobs::saveReportTextPdf(const std::string& text,
                                     const std::filesystem::path& pdfFile) {
    BusyPointer busy;
    writePdfFile(pdfFile, ReportPrinter::pdfOf({text}, m_target.pdfPaper,
                                               {profileSheet() ? &*profileSheet() : nullptr}));
}

} // namespace orvj
