#include "scoring/StatisticsChart.h"

#include "scoring/ReportPrinter.h"
#include "scoring/Scales.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <sstream>

namespace orvj {
namespace {

constexpr std::array<const char*, 5> kRangeNames = {"LOW", "MEDIUM", "PROBLEM", "MAXIMUM",
                                                    "NOT SCORED"};

std::array<int, 5> countsOf(const ScaleCount& s) {
    return {s.ranges[0], s.ranges[1], s.ranges[2], s.ranges[3], s.notScored};
}

} // namespace

QColor riskGrey(int range) {
    static constexpr std::array<int, 5> kGreys = {250, 205, 150, 80, 255};
    return QColor::fromRgb(kGreys[static_cast<std::size_t>(std::clamp(range, 0, 4))],
                           kGreys[static_cast<std::size_t>(std::clamp(range, 0, 4))],
                           kGreys[static_cast<std::size_t>(std::clamp(range, 0, 4))]);
}

QBrush riskPattern(int range) {
    // Dark grey, never pure black: black is kept for the bars and outlines drawn over them.
    const QColor ink = QColor::fromRgb(64, 64, 64);
    switch (range) {
    case 0:
        return Qt::NoBrush;
    case 1:
        return QBrush(ink, Qt::Dense6Pattern);
    case 2:
        return QBrush(ink, Qt::BDiagPattern);
    case 3:
        return QBrush(Qt::white, Qt::DiagCrossPattern);
    default:
        return QBrush(ink, Qt::Dense7Pattern);
    }
}

void fillRiskPattern(QPainter& p, const QRectF& r, int range) {
    p.save();
    p.setPen(Qt::NoPen);
    p.fillRect(r, riskGrey(range));
    // Patterns scale with the device: a fixed cell size keeps them visible on a printer too.
    const double cell = std::max(1.0, p.device()->logicalDpiX() / 96.0);
    QBrush pattern = riskPattern(range);
    pattern.setTransform(QTransform::fromScale(cell, cell));
    p.fillRect(r, pattern);
    p.restore();
}

void fillRiskRange(QPainter& p, const QRectF& r, int range) {
    fillRiskPattern(p, r, range);
    p.save();
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.restore();
}

void drawStatisticsChart(QPainter& p, const QRectF& area, const GroupCount& group) {
    p.save();
    const QFontMetricsF fm(p.font());
    const double line = fm.height();
    double nameWidth = 0;
    for (int n = 1; n <= Scales::kCount; ++n) {
        nameWidth = std::max(nameWidth, fm.horizontalAdvance(QLatin1String(Scales::name(n))));
    }
    nameWidth += line;
    const double legendHeight = line * 2;
    const double rowHeight = (area.height() - legendHeight) / Scales::kCount;
    const double barLeft = area.left() + nameWidth;
    const double barWidth = std::max(1.0, area.width() - nameWidth - line);
    p.setPen(Qt::black);
    for (int n = 1; n <= Scales::kCount; ++n) {
        const double top = area.top() + (n - 1) * rowHeight;
        p.drawText(QRectF(area.left(), top, nameWidth, rowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                   QLatin1String(Scales::name(n)));
        const auto counts = countsOf(group.scales[static_cast<std::size_t>(n)]);
        const int total = group.clients;
        const QRectF bar(barLeft, top + rowHeight * 0.15, barWidth, rowHeight * 0.7);
        if (total == 0) {
            p.drawRect(bar);
            continue;
        }
        double x = bar.left();
        for (std::size_t r = 0; r < counts.size(); ++r) {
            const double w = bar.width() * counts[r] / total;
            if (counts[r] > 0) {
                const QRectF piece(x, bar.top(), w, bar.height());
                fillRiskRange(p, piece, static_cast<int>(r));
                // The count in its piece where it fits, on a white ground to stay readable.
                const QString text = QString::number(counts[r]);
                const double tw = fm.horizontalAdvance(text) + 4;
                if (tw < w && fm.height() < piece.height()) {
                    const QRectF label(piece.center().x() - tw / 2,
                                       piece.center().y() - fm.height() / 2, tw, fm.height());
                    p.fillRect(label, Qt::white);
                    p.drawText(label, Qt::AlignCenter, text);
                }
            }
            x += w;
        }
    }
    // Legend: a sample of each fill and its range's name.
    double x = area.left();
    const double y = area.bottom() - legendHeight + line * 0.5;
    for (std::size_t r = 0; r < kRangeNames.size(); ++r) {
        fillRiskRange(p, QRectF(x, y, line * 1.5, line), static_cast<int>(r));
        x += line * 2;
        const QString name = QLatin1String(kRangeNames[r]);
        p.drawText(QPointF(x, y + fm.ascent()), name);
        x += fm.horizontalAdvance(name) + line;
    }
    p.restore();
}

std::string statisticsPdf(const OfficeStatistics& stats, const std::string& heading,
                          QPageSize::PageSizeId paper) {
    // The text of each group, as the terminal shows it: its blocks are cut at empty lines.
    std::vector<std::string> blocks;
    {
        std::istringstream in(statisticsText(stats));
        std::string line;
        std::string block;
        while (std::getline(in, line)) {
            if (line.empty()) {
                blocks.push_back(block);
                block.clear();
            } else {
                block += line + "\n";
            }
        }
        if (!block.empty()) {
            blocks.push_back(block);
        }
    }
    std::vector<const GroupCount*> groups{&stats.total()};
    for (const auto& [code, g] : stats.bySex()) {
        groups.push_back(&g);
    }
    for (const auto& [code, g] : stats.byRace()) {
        groups.push_back(&g);
    }
    return ReportPrinter::pdfDocument(
        paper, QStringLiteral("ORV-Juvenile Office Statistics"), 300, [&](QPdfWriter& writer) {
            QPainter p(&writer);
            QFont font(QStringLiteral("Courier New"), 10);
            font.setStyleHint(QFont::TypeWriter);
            p.setFont(font);
            const QRectF page(0, 0, writer.width(), writer.height());
            const double line = QFontMetricsF(font, &writer).height();
            for (std::size_t g = 0; g < groups.size(); ++g) {
                if (g > 0) {
                    writer.newPage();
                }
                QString text = QString::fromStdString(heading) + QStringLiteral("\n\n");
                if (g < blocks.size()) {
                    text += QString::fromStdString(blocks[g]);
                }
                const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
                p.drawText(page, Qt::AlignLeft | Qt::AlignTop, text);
                const double top = line * (lines + 2);
                drawStatisticsChart(
                    p, QRectF(0, top, page.width(), std::min(page.height() - top, line * 30)),
                    *groups[g]);
            }
        });
}

} // namespace orvj
