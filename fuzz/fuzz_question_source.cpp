// Any bytes as a question source (.tsv) of orvj-mkdata: a refusal names the file and a line of
// it (only a source that is short of items names the whole file); an accepted source holds the
// 143 items in order, stays accepted when it does not decide the answer-sheet grids, and its
// question text file holds each question, numbered, on a line of its own.
#include "MkdataSupport.h"

#include "core/InventoryLayout.h"
#include "store/Cp1252.h"
#include "tools/mkdata/QuestionSource.h"
#include "tools/mkdata/QuestionText.h"

using namespace orvj;

namespace {

const std::string kFile = "english.tsv";

void checkAccepted(const mkdata::QuestionSource& source, std::size_t lineCount) {
    fuzz::check(source.rows.size() == static_cast<std::size_t>(InventoryLayout::kItemCount),
                "an accepted source holds every item");
    std::size_t lastLine = 1;
    for (std::size_t i = 0; i < source.rows.size(); ++i) {
        const auto& row = source.rows[i];
        fuzz::check(row.id == static_cast<int>(i) + 1, "items stand in order");
        fuzz::check(row.line > lastLine && row.line <= lineCount, "a row knows its line");
        lastLine = row.line;
        const int options = row.optionCount();
        fuzz::check(options >= 2 && options <= InventoryLayout::optionCount(row.id),
                    "an item offers two to its section's number of options");
        for (int k = 0; k < options; ++k) {
            fuzz::check(row.answers[static_cast<std::size_t>(k)].has_value(),
                        "options stand without gaps");
        }
    }

    const std::string text = mkdata::questionTextFile(source, kFile);
    std::size_t at = 0;
    for (const auto& row : source.rows) {
        const std::size_t end = text.find("\r\n", at);
        fuzz::check(end != std::string::npos, "one line per item");
        const std::string line = text.substr(at, end - at);
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%3d. ", row.id);
        fuzz::check(line.rfind(prefix, 0) == 0, "a line begins with its item number", line);
        fuzz::check(cp1252ToUtf8(line.substr(5)) == row.question, "a line holds its question",
                    line);
        at = end + 2;
    }
    fuzz::check(at == text.size(), "nothing after the last item");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineCount = mkdata::splitLines(input).size();
    try {
        const auto english = mkdata::parseQuestionSource(input, kFile, true);
        checkAccepted(english, lineCount);
        try {
            const auto other = mkdata::parseQuestionSource(input, kFile, false);
            fuzz::check(other.rows.size() == english.rows.size(), "the same items either way");
        } catch (const mkdata::SourceError& e) {
            fuzz::propertyFailed("a source that decides the grids is a good second language too",
                                 e.what());
        }
    } catch (const mkdata::IncompleteSource& e) {
        const std::size_t line = fuzz::refusedLine(e.what(), kFile);
        fuzz::check(line == 0, "a source short of items names the whole file", e.what());
    } catch (const mkdata::SourceError& e) {
        const std::size_t line = fuzz::refusedLine(e.what(), kFile);
        fuzz::check(line >= 1 && line <= lineCount, "the refusal names a line of the file",
                    e.what());
    }
    return 0;
}
