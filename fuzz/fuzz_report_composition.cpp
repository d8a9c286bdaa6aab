// Any 196 bytes as one client record, scored and composed with the sample inventory in all
// three report forms: every line ends in CR LF, no control character but the page's form feed
// reaches the text, the page header keeps its columns, and the combined report begins with
// the standard one; no page holds more than the 58 lines of a sheet (59 with the uncounted
// empty line after the social stressors). A record that cannot be scored is refused with its
// number named.
#include "FuzzSupport.h"

#include "scoring/InventoryLoader.h"
#include "scoring/ReportComposer.h"
#include "scoring/ScaleScorer.h"
#include "store/OrvjError.h"

using namespace orvj;

namespace {

// One page's text (after its form feed) holds no more lines than a sheet.
void checkPageLength(std::string_view page) {
    if (page.substr(0, 2) == "\r\n") {
        page.remove_prefix(2); // the form feed's own line end
    }
    const auto lines = std::count(page.begin(), page.end(), '\n');
    const bool stressors = page.find("SOCIAL STRESSORS") != std::string_view::npos;
    fuzz::check(lines <= (stressors ? 59 : 58), "no page runs past its sheet",
                std::to_string(lines) + " lines");
}

void checkLayout(const std::string& report) {
    std::size_t pageStart = 0;
    for (std::size_t ff = report.find('\f'); ff != std::string::npos;
         ff = report.find('\f', ff + 1)) {
        checkPageLength(std::string_view(report).substr(pageStart, ff - pageStart));
        pageStart = ff + 1;
    }
    checkPageLength(std::string_view(report).substr(pageStart));
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < report.size(); ++i) {
        const auto b = static_cast<unsigned char>(report[i]);
        if (b == '\r') {
            fuzz::check(i + 1 < report.size() && report[i + 1] == '\n', "no bare CR");
        } else if (b == '\n') {
            fuzz::check(i > 0 && report[i - 1] == '\r', "no bare LF");
            const std::string_view line(report.data() + lineStart, i - 1 - lineStart);
            if (line.substr(0, 13) == "       NAME: ") {
                fuzz::check(line.size() >= 43 && line[40] == '-' && line[42] == '-',
                            "page header: the page number in column 41", std::string(line));
            }
            lineStart = i + 1;
        } else {
            fuzz::check((b >= 0x20 && b != 0x7F) || b == '\f', "no control character",
                        std::to_string(b));
        }
    }
    fuzz::check(lineStart == report.size(), "the report ends with a whole line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path home(ORVJ_SAMPLE_HOME);
    static const Inventory inventory = loadInventory(home);
    ClientRecord record;
    std::copy_n(data, std::min(size, ClientRecord::kSize), record.bytes().begin());
    const int client = size > ClientRecord::kSize ? data[ClientRecord::kSize] % 51 + 1 : 1;

    ClientScores scores;
    try {
        scores = ScaleScorer(inventory.scoring).score(record, client);
    } catch (const OrvjError& e) {
        // A record that cannot be scored is refused, naming the record and the field.
        const std::string what = e.what();
        fuzz::check(what.find("client record " + std::to_string(client)) != std::string::npos,
                    "the refusal names the record", what);
        return 0;
    }
    const std::string standard =
        ReportComposer(inventory, scores, record, client).compose(ReportOption::Standard);
    const std::string onePage =
        ReportComposer(inventory, scores, record, client).compose(ReportOption::OnePage);
    const std::string both =
        ReportComposer(inventory, scores, record, client).compose(ReportOption::Both);
    checkLayout(standard);
    checkLayout(onePage);
    checkLayout(both);
    fuzz::check(both.compare(0, standard.size(), standard) == 0,
                "the combined report begins with the standard report");
    return 0;
}
