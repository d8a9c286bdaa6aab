#include "tools/mkdata/QuestionSource.h"

#include "core/InventoryLayout.h"

#include <charconv>

namespace orvj::mkdata {
namespace {

namespace TL = orvj::InventoryLayout;

constexpr std::size_t kColumns = 13;
// Section 4 lines are printed in two report columns of 39 characters.
constexpr std::size_t kTreatmentColumnWidth = 39;

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (true) {
        std::size_t tab = line.find('\t', start);
        if (tab == std::string::npos) {
            cells.push_back(line.substr(start));
            return cells;
        }
        cells.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::string formatName(TL::AnswerFormat f) {
    switch (f) {
    case TL::AnswerFormat::TrueFalse:
        return "True/False (ANSWER2 \"False\")";
    case TL::AnswerFormat::YesNo:
        return "Yes/No (ANSWER2 exactly \"No\")";
    case TL::AnswerFormat::Numbered:
        return "four statements (any other ANSWER2)";
    case TL::AnswerFormat::Frequency:
        return "frequency (ANSWER2 beginning \"Somet\")";
    case TL::AnswerFormat::MostlyTrue:
        return "five steps (ANSWER2 beginning \"Mostl\")";
    case TL::AnswerFormat::OppositeTerms:
        return "opposite terms (ANSWER2 beginning \"Often\")";
    }
    return "unknown";
}

// The answer-sheet form gives every format a grid of its own, so a section's items must share
// one format and no two sections may share one.
void checkSectionFormats(const std::vector<QuestionRow>& rows, const std::string& fileName) {
    std::array<std::optional<TL::AnswerFormat>, TL::kSectionCount + 1> sectionFormat;
    std::array<int, TL::kSectionCount + 1> firstItem{};
    for (const QuestionRow& row : rows) {
        const auto s = static_cast<std::size_t>(TL::sectionOf(row.id));
        const TL::AnswerFormat f = TL::formatOf(*row.answers[1]);
        if (!sectionFormat[s]) {
            for (std::size_t other = 1; other < s; ++other) {
                if (sectionFormat[other] == f) {
                    throw SourceError(where(fileName, row.line) + "item " + std::to_string(row.id) +
                                      ": section " + std::to_string(s) + " would share the " +
                                      formatName(f) + " answer-sheet grid with section " +
                                      std::to_string(other) + "; reword ANSWER2");
                }
            }
            sectionFormat[s] = f;
            firstItem[s] = row.id;
        } else if (*sectionFormat[s] != f) {
            throw SourceError(where(fileName, row.line) + "item " + std::to_string(row.id) +
                              ": ANSWER2 \"" + *row.answers[1] + "\" puts the item in the " +
                              formatName(f) + " answer-sheet grid, but item " +
                              std::to_string(firstItem[s]) + " of the same section is in the " +
                              formatName(*sectionFormat[s]) + " grid; reword ANSWER2");
        }
    }
}

bool isBlank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

std::optional<int> parseInt(const std::string& s) {
    int value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

int QuestionRow::optionCount() const {
    int n = 0;
    for (const auto& a : answers) {
        if (a) {
            ++n;
        }
    }
    return n;
}

const std::array<const char*, 13>& questionColumns() {
    static const std::array<const char*, 13> names = {
        "ID",           "TestQuestion", "QuestionAudio", "ANSWER1",      "ANSWER2",
        "ANSWER3",      "ANSWER4",      "ANSWER5",       "ChoiceAudio1", "ChoiceAudio2",
        "ChoiceAudio3", "ChoiceAudio4", "ChoiceAudio5"};
    return names;
}

QuestionSource parseQuestionSource(std::string_view text, const std::string& fileName,
                                   bool decidesFormats) {
    QuestionSource source;
    std::vector<std::string> lines = splitLines(text);
    if (lines.empty()) {
        throw IncompleteSource(where(fileName, 0) + "the file is empty; expected a header line " +
                               "and 143 item lines");
    }
    {
        std::vector<std::string> header = splitTabs(lines[0]);
        std::string expected;
        for (const char* name : questionColumns()) {
            expected += expected.empty() ? "" : " ";
            expected += name;
        }
        bool ok = header.size() == kColumns;
        for (std::size_t c = 0; ok && c < kColumns; ++c) {
            ok = header[c] == questionColumns()[c];
        }
        if (!ok) {
            throw SourceError(
                where(fileName, 1) +
                "the header line must name these 13 tab-separated columns: " + expected);
        }
    }

    for (std::size_t n = 1; n < lines.size(); ++n) {
        const std::size_t lineNo = n + 1;
        const std::string& line = lines[n];
        if (isBlank(line)) {
            continue;
        }
        const int expectedId = static_cast<int>(source.rows.size()) + 1;
        if (expectedId > TL::kItemCount) {
            throw SourceError(where(fileName, lineNo) + "more than " +
                              std::to_string(TL::kItemCount) + " item lines");
        }
        std::vector<std::string> cells = splitTabs(line);
        if (cells.size() != kColumns) {
            throw SourceError(where(fileName, lineNo) + "expected " + std::to_string(kColumns) +
                              " tab-separated columns, found " + std::to_string(cells.size()));
        }
        auto id = parseInt(cells[0]);
        if (!id) {
            throw SourceError(where(fileName, lineNo) + "ID \"" + cells[0] +
                              "\" is not a whole number");
        }
        if (*id != expectedId) {
            throw SourceError(where(fileName, lineNo) + "ID out of order: expected " +
                              std::to_string(expectedId) + ", found " + std::to_string(*id));
        }
        for (std::size_t c = 1; c < kColumns; ++c) {
            // Checked for every cell so that the message names the right line.
            toCp1252(cells[c], fileName, lineNo, questionColumns()[c]);
        }

        QuestionRow row;
        row.id = *id;
        row.line = lineNo;
        row.question = cells[1];
        row.questionAudio = cells[2];
        if (isBlank(row.question)) {
            throw SourceError(where(fileName, lineNo) + "item " + std::to_string(row.id) +
                              ": TestQuestion is empty");
        }
        for (int k = 0; k < 5; ++k) {
            const std::string& answer = cells[3 + static_cast<std::size_t>(k)];
            const std::string& audio = cells[8 + static_cast<std::size_t>(k)];
            const std::string answerName = "ANSWER" + std::to_string(k + 1);
            if (answer.empty()) {
                if (k < 2) {
                    throw SourceError(where(fileName, lineNo) + "item " + std::to_string(row.id) +
                                      ": " + answerName + " is empty (options 1 and 2 are " +
                                      "always shown)");
                }
                if (!audio.empty()) {
                    throw SourceError(where(fileName, lineNo) + "item " + std::to_string(row.id) +
                                      ": ChoiceAudio" + std::to_string(k + 1) + " is given but " +
                                      answerName + " is empty");
                }
                continue;
            }
            if (k >= 2 && !row.answers[static_cast<std::size_t>(k - 1)]) {
                throw SourceError(where(fileName, lineNo) + "item " + std::to_string(row.id) +
                                  ": " + answerName + " is given but ANSWER" + std::to_string(k) +
                                  " is empty (options are shown in order without gaps)");
            }
            row.answers[static_cast<std::size_t>(k)] = answer;
            row.choiceAudio[static_cast<std::size_t>(k)] = audio;
        }

        const int section = TL::sectionOf(row.id);
        const int sectionOptions = TL::SectionOptions[static_cast<std::size_t>(section)];
        const std::string itemName = "item " + std::to_string(row.id);
        if (row.optionCount() > sectionOptions) {
            throw SourceError(where(fileName, lineNo) + itemName + " has " +
                              std::to_string(row.optionCount()) + " options, but section " +
                              std::to_string(section) + " allows at most " +
                              std::to_string(sectionOptions));
        }
        if (row.optionCount() < sectionOptions) {
            source.warnings.push_back(where(fileName, lineNo) + itemName + " has only " +
                                      std::to_string(row.optionCount()) + " of the " +
                                      std::to_string(sectionOptions) + " options of section " +
                                      std::to_string(section));
        }
        if (decidesFormats) {
            auto format = TL::formatOf(*row.answers[1]);
            if (TL::formatOptionCount(format) != sectionOptions) {
                throw SourceError(
                    where(fileName, lineNo) + itemName + ": ANSWER2 \"" + *row.answers[1] +
                    "\" selects an answer-sheet grid with " +
                    std::to_string(TL::formatOptionCount(format)) + " options, but section " +
                    std::to_string(section) + " has " + std::to_string(sectionOptions) +
                    " (the grid is chosen from the first five characters of ANSWER2: \"False\", " +
                    "\"Somet\", \"Mostl\", \"Often\", exactly \"No\", or anything else for a " +
                    "four-option item)");
            }
        }
        if (decidesFormats && section == 4 &&
            toCp1252(row.question, fileName, lineNo).size() > kTreatmentColumnWidth) {
            source.warnings.push_back(where(fileName, lineNo) + itemName +
                                      ": the report lists this text as a treatment need in a " +
                                      "column of " + std::to_string(kTreatmentColumnWidth) +
                                      " characters; a longer text breaks the two columns");
        }
        source.rows.push_back(std::move(row));
    }
    if (source.rows.size() != static_cast<std::size_t>(TL::kItemCount)) {
        throw IncompleteSource(where(fileName, 0) + "holds " + std::to_string(source.rows.size()) +
                               " items; all " + std::to_string(TL::kItemCount) + " are needed");
    }
    if (decidesFormats) {
        checkSectionFormats(source.rows, fileName);
    }
    return source;
}

QuestionSource readQuestionSource(const std::filesystem::path& file, bool decidesFormats) {
    return parseQuestionSource(readFile(file), file.string(), decidesFormats);
}

void checkSameOptions(const QuestionSource& reference, const QuestionSource& other,
                      const std::string& otherFileName) {
    for (std::size_t i = 0; i < reference.rows.size() && i < other.rows.size(); ++i) {
        const int a = reference.rows[i].optionCount();
        const int b = other.rows[i].optionCount();
        if (a != b) {
            throw SourceError(where(otherFileName, other.rows[i].line) + "item " +
                              std::to_string(other.rows[i].id) + " has " + std::to_string(b) +
                              " options, but the first language has " + std::to_string(a));
        }
    }
}

} // namespace orvj::mkdata
