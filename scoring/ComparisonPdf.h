#pragma once

#include "scoring/RetestComparison.h"

#include <QPageSize>

#include <string>

namespace orvj {

// The retest comparison as a PDF document, made in memory: the table of the tests on the first
// sheet, their profile pictures side by side on the second.
std::string comparisonPdf(const RetestComparison& comparison,
                          QPageSize::PageSizeId paper = QPageSize::Letter);

} // namespace orvj
