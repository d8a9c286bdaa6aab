#include "scoring/ProfileChart.h"

#include "scoring/Scales.h"
#include "scoring/StatisticsChart.h"
#include "store/Cp1252.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <array>

namespace orvj {
namespace {

constexpr int kHeaderLines = 5; // title, two client lines, validity, band names
constexpr std::array<int, 5> kBandEdges = {0, 40, 70, 90, 100};
constexpr std::array<const char*, 4> kBandNames = {"LOW", "MEDIUM", "PROBLEM", "MAXIMUM"};

QString text(const std::string& cp1252) {
    return QString::fromStdString(cp1252ToUtf8(cp1252));
}

QString scaleLabel(const ProfileData& d, int scale) {
    QString name = QLatin1String(Scales::name(scale));
    if (scale == Scales::Truthfulness && d.scores.invalid()) {
        name += QStringLiteral(" (INVALID)");
    }
    return name;
}

} // namespace

QRectF ProfileChart::Layout::row(int scale) const {
    return {plot.left(), plot.top() + (scale - 1) * rowHeight, plot.width(), rowHeight};
}

QRectF ProfileChart::Layout::bar(int scale, int percentile) const {
    const QRectF r = row(scale);
    return {plot.left(), r.top() + r.height() * 0.3,
            xOf(std::clamp(percentile, 0, 100)) - plot.left(), r.height() * 0.4};
}

ProfileChart::Layout ProfileChart::layout(const QRectF& area, const QFontMetricsF& fm) {
    Layout l;
    const double line = fm.lineSpacing();
    l.header = QRectF(area.left(), area.top(), area.width(), line * kHeaderLines);
    const double labelWidth =
        fm.horizontalAdvance(QStringLiteral("TRUTHFULNESS (INVALID)")) + line * 0.5;
    const double percentWidth = fm.horizontalAdvance(QStringLiteral("100")) + line;
    l.labelLeft = area.left();
    l.percentLeft = area.left() + labelWidth;
    const double left = l.percentLeft + percentWidth;
    // Room below for the axis numbers and the not-scored note.
    const double bottom = area.bottom() - line * 2;
    const double top = l.header.bottom();
    l.rowHeight = std::max(1.0, (bottom - top) / Scales::kCount);
    l.plot = QRectF(left, top, std::max(1.0, area.right() - left - line), l.rowHeight * 9);
    return l;
}

QStringList ProfileChart::headerLines(const ProfileData& d) {
    QStringList lines{QStringLiteral("Name: ") + text(d.name) + QStringLiteral("    ID: ") +
                          text(d.id),
                      QStringLiteral("Test date: ") + text(d.testDate) +
                          QStringLiteral("    Record: ") + QString::number(d.record)};
    if (d.scores.invalid()) {
        lines << QStringLiteral("INVALID TEST: Truthfulness 95 or more; the other scales "
                                "cannot be read");
    } else if (d.scores.pct(Scales::Truthfulness) >= 90) {
        lines << QStringLiteral("* These test results are inaccurate (Truthfulness 90 or more)");
    }
    return lines;
}

void ProfileChart::draw(QPainter& p, const QRectF& area, const ProfileData& d) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(area, Qt::IntersectClip);
    // A narrow area (pictures side by side) takes a smaller type, so that the names leave
    // the bands at least three fifths of the width.
    const double names =
        layout(area, QFontMetricsF(p.font(), p.device())).plot.left() - area.left();
    if (names > area.width() * 0.4) {
        QFont smaller = p.font();
        smaller.setPointSizeF(std::max(4.0, smaller.pointSizeF() * area.width() * 0.4 / names));
        p.setFont(smaller);
    }
    const QFontMetricsF fm(p.font(), p.device());
    const double line = fm.lineSpacing();
    const Layout l = layout(area, fm);
    p.setPen(Qt::black);

    // Title and client.
    QFont bold = p.font();
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QPointF(area.left(), area.top() + fm.ascent()),
               QStringLiteral("ORV-JUVENILE PROFILE"));
    QFont plain = bold;
    plain.setBold(false);
    p.setFont(plain);
    const QStringList header = headerLines(d);
    for (qsizetype i = 0; i < header.size(); ++i) {
        p.drawText(
            QPointF(area.left(), area.top() + line * static_cast<double>(i + 1) + fm.ascent()),
            fm.elidedText(header[i], Qt::ElideRight, area.width()));
    }
    // Band names above their bands.
    for (std::size_t b = 0; b < kBandNames.size(); ++b) {
        const QRectF cell(l.xOf(kBandEdges[b]), l.plot.top() - line,
                          l.xOf(kBandEdges[b + 1]) - l.xOf(kBandEdges[b]), line);
        const QString name = fm.horizontalAdvance(QLatin1String(kBandNames[b])) < cell.width()
                                 ? QLatin1String(kBandNames[b])
                                 : QLatin1String(kBandNames[b]).left(3);
        p.drawText(cell, Qt::AlignCenter, name);
    }
    p.drawText(QRectF(l.percentLeft, l.plot.top() - line, l.plot.left() - l.percentLeft, line),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("%ile"));

    // The bands behind all rows.
    for (std::size_t b = 0; b + 1 < kBandEdges.size(); ++b) {
        fillRiskPattern(p,
                        QRectF(l.xOf(kBandEdges[b]), l.plot.top(),
                               l.xOf(kBandEdges[b + 1]) - l.xOf(kBandEdges[b]), l.plot.height()),
                        static_cast<int>(b));
    }
    // Band edges, row lines and the frame in dark grey, under the bars.
    p.setPen(QPen(QColor::fromRgb(96, 96, 96), 0));
    for (int n = 1; n < Scales::kCount; ++n) {
        p.drawLine(QPointF(l.plot.left(), l.row(n).bottom()),
                   QPointF(l.plot.right(), l.row(n).bottom()));
    }
    for (int edge : kBandEdges) {
        p.drawLine(QPointF(l.xOf(edge), l.plot.top()), QPointF(l.xOf(edge), l.plot.bottom()));
    }
    p.drawRect(l.plot);
    p.setPen(Qt::black);
    bool notScored = false;
    for (int n = 1; n <= Scales::kCount; ++n) {
        const QRectF row = l.row(n);
        p.drawText(QRectF(l.labelLeft, row.top(), l.percentLeft - l.labelLeft, row.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, scaleLabel(d, n));
        if (d.scores.notScorable(n)) {
            notScored = true;
            p.drawText(
                QRectF(l.percentLeft, row.top(), l.plot.left() - l.percentLeft, row.height()),
                Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("**"));
            const QString note = QStringLiteral("Scale not scored, insufficient answers");
            const QRectF box(l.plot.left() + line * 0.5, row.center().y() - line / 2,
                             std::min(l.plot.width() - line, fm.horizontalAdvance(note) + line),
                             line);
            p.fillRect(box, Qt::white);
            p.drawText(box, Qt::AlignCenter, note);
            continue;
        }
        const int pct = d.scores.pct(n);
        p.drawText(QRectF(l.percentLeft, row.top(), l.plot.left() - l.percentLeft, row.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::number(pct));
        p.fillRect(l.bar(n, pct), Qt::black);
    }
    // The axis numbers below.
    for (int edge : kBandEdges) {
        const QString number = QString::number(edge);
        const double w = fm.horizontalAdvance(number);
        p.drawText(
            QPointF(std::min(l.xOf(edge) - w / 2, area.right() - w), l.plot.bottom() + fm.ascent()),
            number);
    }
    p.drawText(QRectF(l.plot.left(), l.plot.bottom() + line, l.plot.width(), line), Qt::AlignCenter,
               notScored ? QStringLiteral("PERCENTILE SCORES    ** Too many omitted items to "
                                          "score the scale")
                         : QStringLiteral("PERCENTILE SCORES"));
    p.restore();
}

} // namespace orvj
