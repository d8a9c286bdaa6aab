#pragma once

#include "scoring/ProfileData.h"

#include <QPageSize>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

namespace orvj {

// Prints report text on a printer (or a PDF file) in Courier New 11.5 point: one report page
// per sheet, cut at the form feeds. A page taller than the sheet continues on the next one.
class ReportPrinter {
public:
    static constexpr double kFontPoints = 11.5;
    // Lines a PDF sheet is laid out for: a report page of 58 and the line or two some pages
    // run over.
    static constexpr int kPdfLines = 60;

    // The report's pages: the text cut at form feeds, each page as its lines (Windows-1252
    // bytes). The line end that closes a form-feed line is the page break itself and does not
    // make an empty first line; a line end at the very end of the text makes no extra line.
    static std::vector<std::vector<std::string>> pagesOf(std::string_view text);

    // Lines of the report font that fit one sheet of this printer or PDF (`pdf`).
    static int linesPerSheet(QPagedPaintDevice& device, bool pdf);

    // Prints each text (REPORT.PRN without its final character) in order in one print job;
    // every report starts on a new sheet. Throws OrvjError when the printer cannot be used or
    // reports a fault.
    // `profiles`, when given, has an entry per text: a profile chart sheet after that report,
    // or none (null).
    static void print(QPrinter& printer, const std::vector<std::string>& texts,
                      const std::vector<const ProfileData*>& profiles = {});

    // The same sheets as a PDF document, made in memory, so that nothing reaches a file
    // before the whole document is there.
    static std::string pdfOf(const std::vector<std::string>& texts, QPageSize::PageSizeId paper,
                             const std::vector<const ProfileData*>& profiles = {});

    // A PDF document of the program's made in memory: `draw` fills the writer's sheets.
    static std::string pdfDocument(QPageSize::PageSizeId paper, const QString& title,
                                   int resolution, const std::function<void(QPdfWriter&)>& draw);
};

} // namespace orvj
