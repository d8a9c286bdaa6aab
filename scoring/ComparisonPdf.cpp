#include "scoring/ComparisonPdf.h"

#include "scoring/ProfileChart.h"
#include "scoring/ReportPrinter.h"
#include "store/Cp1252.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace orvj {

std::string comparisonPdf(const RetestComparison& comparison, QPageSize::PageSizeId paper) {
    return ReportPrinter::pdfDocument(
        paper, QStringLiteral("ORV-Juvenile Retest Comparison"), 300, [&](QPdfWriter& writer) {
            // The pictures side by side need the width of a landscape sheet.
            writer.setPageOrientation(QPageLayout::Landscape);
            QPainter p(&writer);
            QFont mono(QStringLiteral("Courier New"), 10);
            mono.setStyleHint(QFont::TypeWriter);
            p.setFont(mono);
            const QRectF page(0, 0, writer.width(), writer.height());
            p.drawText(page, Qt::AlignLeft | Qt::AlignTop,
                       QString::fromStdString(cp1252ToUtf8(comparisonText(comparison))));
            if (!comparison.tests.empty()) {
                writer.newPage();
                QFont chartFont;
                chartFont.setPointSizeF(comparison.tests.size() > 2 ? 7 : 9);
                p.setFont(chartFont);
                const double each = page.width() / static_cast<double>(comparison.tests.size());
                const double gap = QFontMetricsF(chartFont, &writer).lineSpacing();
                for (std::size_t i = 0; i < comparison.tests.size(); ++i) {
                    ProfileChart::draw(
                        p,
                        QRectF(each * static_cast<double>(i), 0, each - gap, page.height() * 0.8),
                        comparison.tests[i].profile);
                }
            }
        });
}

} // namespace orvj
