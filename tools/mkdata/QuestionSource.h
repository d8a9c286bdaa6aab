#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/mkdata/SourceText.h"

namespace orvj::mkdata {

// One question row of a language table. Texts are UTF-8; an absent option is nullopt.
struct QuestionRow {
    int id = 0;
    std::size_t line = 0; // where it stands in its source
    std::string question;
    std::string questionAudio;
    std::array<std::optional<std::string>, 5> answers;
    std::array<std::optional<std::string>, 5> choiceAudio;

    int optionCount() const;
};

// A source that is well formed so far but holds fewer than the 143 items.
class IncompleteSource : public SourceError {
public:
    using SourceError::SourceError;
};

struct QuestionSource {
    std::vector<QuestionRow> rows; // items 1..143 in order
    std::vector<std::string> warnings;
};

// The column names of the source's header line, in order.
const std::array<const char*, 13>& questionColumns();

// Reads a tab-separated question source (header line, then one line per item 1..143).
// `decidesFormats` marks the English table, whose second option decides each item's
// answer-sheet format: that format must offer as many options as the item's section.
// Throws SourceError naming the file and line; IncompleteSource when items are missing at
// the end.
QuestionSource parseQuestionSource(std::string_view text, const std::string& fileName,
                                   bool decidesFormats);
QuestionSource readQuestionSource(const std::filesystem::path& file, bool decidesFormats);

// A second language must offer the same options as the first, item by item.
void checkSameOptions(const QuestionSource& reference, const QuestionSource& other,
                      const std::string& otherFileName);

} // namespace orvj::mkdata
