#include "scoring/QtReportJobs.h"

#include "scoring/InventoryFiles.h"
#include "scoring/ReportPrinter.h"
#include "scoring/ReportWriter.h"
#include "store/OrvjError.h"
#include "store/ReportFiles.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>

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

void QtReportJobs::printTexts(const std::vector<std::string>& texts) const {
    printTexts(texts, m_target);
}

void QtReportJobs::printTexts(const std::vector<std::string>& texts, const PrintTarget& target) {
    QPrinter printer(QPrinter::HighResolution);
    std::filesystem::path pdf = target.pdfFile;
    if (pdf.empty() && !target.pdfFolder.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(target.pdfFolder, ec)) {
            throw OrvjError(ErrorCode::PathNotFound,
                            target.pdfFolder.string() + ": the print folder does not exist");
        }
        for (int n = 1; pdf.empty() || std::filesystem::exists(pdf, ec); ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "print-%03d.pdf", n);
            pdf = target.pdfFolder / name;
        }
    }
    if (!pdf.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        printer.setPageSize(QPageSize(target.pdfPaper));
    } else {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            throw OrvjError(ErrorCode::DeviceIO, "cannot print: no default printer is set up");
        }
        printer.setPrinterName(info.printerName());
    }
    printer.setDocName(QStringLiteral("ORV-Juvenile Report"));
    ReportPrinter::print(printer, texts);
}

void QtReportJobs::printReportFile() {
    BusyPointer busy;
    printTexts({readReportText()});
}

void QtReportJobs::printReportText(const std::string& text) {
    BusyPointer busy;
    printTexts({text});
}

void QtReportJobs::saveReportPdf(const std::filesystem::path& pdfFile) {
    saveReportTextPdf(readReportText(), pdfFile);
}

void QtReportJobs::saveReportTextPdf(const std::string& text,
                                     const std::filesystem::path& pdfFile) {
    BusyPointer busy;
    // The PDF is written beside its final name and put in place whole, so a fault never
    // leaves half a file under the chosen name nor spoils a file that was there.
    std::filesystem::path partial = pdfFile;
    partial += ".part";
    PrintTarget target = m_target;
    target.pdfFile = partial;
    target.pdfFolder.clear();
    try {
        printTexts({text}, target);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw;
    }
    std::error_code ec;
    if (!std::filesystem::exists(partial, ec)) {
        throw OrvjError(ErrorCode::PathNotFound,
                        pdfFile.string() + ": the PDF file could not be written");
    }
    std::filesystem::rename(partial, pdfFile, ec);
    if (ec) {
        std::filesystem::remove(partial, ec);
        throw OrvjError(ErrorCode::DeviceIO,
                        pdfFile.string() + ": the PDF file could not be written");
    }
}

} // namespace orvj
