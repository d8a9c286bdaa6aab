#pragma once

#include "scoring/ProfileData.h"

#include <QRectF>

class QFontMetricsF;
class QPainter;

namespace orvj {

// The profile picture of one test: a horizontal bar per scale at its percentile over the four
// risk bands (0-39 low, 40-69 medium, 70-89 problem, 90-100 maximum, told apart by grey level
// and pattern), with the client's name, ID, test date and record number above it. Scales not
// scored and an invalid Truthfulness are written out. The same drawing for the screen, a PDF
// and the printer.
class ProfileChart {
public:
    // Where the parts of the chart lie in an area, for a font.
    struct Layout {
        QRectF header; // the client's lines
        QRectF plot;   // the bands: x from percentile 0 to 100, the nine rows below each other
        double rowHeight = 0;
        double labelLeft = 0;   // scale names
        double percentLeft = 0; // percentiles
        // The x of a percentile on the bands.
        double xOf(double percentile) const {
            return plot.left() + plot.width() * percentile / 100;
        }
        // The row of a scale 1..9 across the bands.
        QRectF row(int scale) const;
        // The bar of a scale at `percentile`: from percentile 0 to it, in the middle of the row.
        QRectF bar(int scale, int percentile) const;
    };

    static Layout layout(const QRectF& area, const QFontMetricsF& fm);
    // Draws with the painter's font.
    static void draw(QPainter& p, const QRectF& area, const ProfileData& profile);
    // The header lines: "Name: ...   ID: ...", "Test date: ...   Record: N", and for an invalid
    // test a third line saying so.
    static QStringList headerLines(const ProfileData& profile);
};

} // namespace orvj
