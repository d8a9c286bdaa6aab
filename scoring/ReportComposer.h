#pragma once

#include "core/ClientRecord.h"
#include "core/ReportOption.h"
#include "scoring/ClientScores.h"
#include "scoring/InventoryLoader.h"
#include "scoring/LinePrinter.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orvj {

// Writes one client's report text (REPORT.PRN's bytes) from the scored client: the standard
// report, the one-page summary, or both, from the texts loaded with the inventory: composing
// reads no file. The line printer counts the lines of the page.
class ReportComposer {
public:
    static constexpr int kPageLines = 58;

    ReportComposer(const Inventory& inventory, const ClientScores& scores,
                   const ClientRecord& record, int clientNumber);

    // Throws OrvjError when a text file is missing or malformed; nothing is returned then.
    std::string compose(ReportOption option);

private:
    void standardReport();
    void summaryPage(bool afterStandardReport);

    void newPage();
    void room(int lines);
    // Before a row of a list: a new page when the row (`lines` long, two when its left text
    // reaches past the right column) does not fit the page.
    void rowRoom(int lines);
    void emptyLine();
    // The empty line that ends a block, left out when the block filled the page.
    void closingEmptyLine();
    void printLines(const std::vector<std::string>& lines, int indent);

    void headerBlock(bool fullReport);
    void profileChart();
    void summaryParagraphs();
    void significantItems();
    void treatmentNeeds(bool fullReport);
    void recommendations();
    void responsesListing();
    void footer();
    void truthfulnessExplanation();

    const Inventory& m_inventory;
    const ClientScores& m_scores;
    const ClientRecord m_record; // as printed: control characters shown as spaces
    int m_clientNumber;

    std::string m_out;
    LinePrinter m_p;
    int m_page = 1;
};

} // namespace orvj
