#pragma once

#include "scoring/OfficeStatistics.h"

#include <QBrush>
#include <QPageSize>
#include <QRectF>

#include <string>

class QPainter;

namespace orvj {

// How a risk range is filled in every chart: a grey level and a pattern, so that the ranges
// stay apart on a black-and-white printout. Index 0..3 LOW..MAXIMUM; 4 "not scored".
QColor riskGrey(int range);
QBrush riskPattern(int range);
// Fills `r` with the range's grey and pattern; fillRiskRange outlines it in black too.
void fillRiskPattern(QPainter& p, const QRectF& r, int range);
void fillRiskRange(QPainter& p, const QRectF& r, int range);

// A stacked bar per scale of how the group's clients fall into the risk ranges, with the scale
// names on the left and a legend below. The same drawing for the screen, PDF and printer.
void drawStatisticsChart(QPainter& p, const QRectF& area, const GroupCount& group);

// The figures as a PDF document, made in memory: for every group one sheet with its counts
// and its chart. `heading` names the folders and dates counted.
std::string statisticsPdf(const OfficeStatistics& stats, const std::string& heading,
                          QPageSize::PageSizeId paper = QPageSize::Letter);

} // namespace orvj
