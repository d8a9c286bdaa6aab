#include "scoring/ComparisonPdf.h"

#include "scoring/ProfileChart.h"
#include "store/Cp1252.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace orvj {

std::string comparisonPdf(const RetestComparison& comparison, QPageSize::PageSizeId paper) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(paper));
        // The pictures side by side need the width of a landscape sheet.
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setTitle(QStringLiteral("ORV-Juvenile Retest Comparison"));
        writer.setCreator(QStringLiteral("ORV-Juvenile"));
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
                    p, QRectF(each * static_cast<double>(i), 0, each - gap, page.height() * 0.8),
                    comparison.tests[i].profile);
            }
        }
    }
    const QByteArray& bytes = buffer.data();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace orvj
