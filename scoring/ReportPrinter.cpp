#include "scoring/ReportPrinter.h"

#include "scoring/ProfileChart.h"
#include "store/Cp1252.h"
#include "store/OrvjError.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace orvj {
namespace {

QFont reportFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(ReportPrinter::kFontPoints);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// The printer's smallest margins. A PDF has none; it gets the quarter inch most printers
// cannot print on, less at top and bottom where the sheet needs the room for a page that ran
// a line or two long.
void useSmallestMargins(QPagedPaintDevice& device, bool pdf, double lineSpacingPoints) {
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Point);
    QMarginsF margins = layout.minimumMargins();
    if (pdf) {
        const double paperHeight = layout.fullRect(QPageLayout::Point).height();
        const double spare = paperHeight - ReportPrinter::kPdfLines * lineSpacingPoints;
        const double vertical = std::clamp(spare / 2 - 0.5, 0.0, 18.0);
        margins = QMarginsF(18, vertical, 18, vertical);
    }
    layout.setMargins(margins);
    device.setPageLayout(layout);
}

QString toQString(std::string_view bytes) {
    const std::string utf8 = cp1252ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

std::vector<std::vector<std::string>> ReportPrinter::pagesOf(std::string_view text) {
    std::vector<std::vector<std::string>> pages;
    std::size_t pos = 0;
    bool afterFormFeed = false;
    for (;;) {
        const std::size_t ff = text.find('\f', pos);
        std::string_view block =
            text.substr(pos, ff == std::string_view::npos ? std::string_view::npos : ff - pos);
        if (afterFormFeed) {
            if (block.substr(0, 2) == "\r\n") {
                block.remove_prefix(2);
            } else if (!block.empty() && (block[0] == '\r' || block[0] == '\n')) {
                block.remove_prefix(1);
            }
        }
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < block.size()) {
            std::size_t end = start;
            while (end < block.size() && block[end] != '\r' && block[end] != '\n') {
                ++end;
            }
            lines.emplace_back(block.substr(start, end - start));
            if (end < block.size() && block[end] == '\r' && end + 1 < block.size() &&
                block[end + 1] == '\n') {
                ++end;
            }
            start = end + 1;
        }
        pages.push_back(std::move(lines));
        if (ff == std::string_view::npos) {
            return pages;
        }
        pos = ff + 1;
        afterFormFeed = true;
    }
}

int ReportPrinter::linesPerSheet(QPagedPaintDevice& device, bool pdf) {
    const QFont font = reportFont();
    const QFontMetricsF metrics(font, &device);
    const double lineSpacingPoints = metrics.lineSpacing() * 72.0 / device.logicalDpiY();
    useSmallestMargins(device, pdf, lineSpacingPoints);
    const double height = device.pageLayout().paintRect(QPageLayout::Point).height();
    return static_cast<int>(std::floor(height / lineSpacingPoints + 1e-6));
}

namespace {

// Draws the texts on the device, one report page to a sheet. `where` names the device in a
// message.
void drawReports(QPagedPaintDevice& device, bool pdf, const std::vector<std::string>& texts,
                 const QString& where, const std::vector<const ProfileData*>& profiles) {
    const int perSheet = ReportPrinter::linesPerSheet(device, pdf);
    QPainter painter;
    if (!painter.begin(&device)) {
        throw OrvjError(ErrorCode::DeviceIO,
                        "cannot print: " + where.toStdString() + " cannot be opened");
    }
    const QFont font = reportFont();
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const double lineSpacing = metrics.lineSpacing();

    bool firstSheet = true;
    auto newSheet = [&] {
        if (!firstSheet && !device.newPage()) {
            painter.end();
            throw OrvjError(ErrorCode::DeviceIO,
                            "cannot print: " + where.toStdString() + " refused a new page");
        }
        firstSheet = false;
    };
    for (std::size_t t = 0; t < texts.size(); ++t) {
        const std::string& text = texts[t];
        for (const auto& page : ReportPrinter::pagesOf(text)) {
            newSheet();
            // Blank lines at the foot of a page that ran long need no sheet of their own.
            std::size_t used = page.size();
            while (used > 0 && page[used - 1].empty()) {
                --used;
            }
            int row = 0;
            for (std::size_t i = 0; i < used; ++i) {
                if (row == perSheet) {
                    newSheet();
                    row = 0;
                }
                if (!page[i].empty()) {
                    painter.drawText(QPointF(0, row * lineSpacing + metrics.ascent()),
                                     toQString(page[i]));
                }
                ++row;
            }
        }
        if (t < profiles.size() && profiles[t] != nullptr) {
            newSheet();
            painter.save();
            QFont chartFont;
            chartFont.setPointSizeF(11);
            painter.setFont(chartFont);
            ProfileChart::draw(painter, QRectF(0, 0, device.width(), device.height() * 0.6),
                               *profiles[t]);
            painter.restore();
        }
    }
    if (!painter.end()) {
        throw OrvjError(ErrorCode::DeviceIO, "cannot print: the print job could not be finished");
    }
}

} // namespace

void ReportPrinter::print(QPrinter& printer, const std::vector<std::string>& texts,
                          const std::vector<const ProfileData*>& profiles) {
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    drawReports(printer, pdf, texts,
                pdf ? QStringLiteral("the PDF file ") + printer.outputFileName()
                    : QStringLiteral("the printer ") + printer.printerName(),
                profiles);
    // A spooler that failed after the last page tells only through the printer's state.
    if (printer.printerState() == QPrinter::Error) {
        throw OrvjError(ErrorCode::DeviceIO,
                        "cannot print: the printer " + printer.printerName().toStdString() +
                            " reported a fault; the report may not have been printed");
    }
}

std::string ReportPrinter::pdfOf(const std::vector<std::string>& texts, QPageSize::PageSizeId paper,
                                 const std::vector<const ProfileData*>& profiles) {
    return pdfDocument(paper, QStringLiteral("ORV-Juvenile Report"), 1200, [&](QPdfWriter& writer) {
        drawReports(writer, true, texts, QStringLiteral("the PDF document"), profiles);
    });
}

std::string ReportPrinter::pdfDocument(QPageSize::PageSizeId paper, const QString& title,
                                       int resolution,
                                       const std::function<void(QPdfWriter&)>& draw) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(resolution);
        writer.setPageSize(QPageSize(paper));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("ORV-Juvenile"));
        draw(writer);
    }
    const QByteArray& bytes = buffer.data();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace orvj
