#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvj {

// One row of a question table. Texts are UTF-8.
struct QuestionRow {
    int id = 0;
    std::string testQuestion;
    std::string questionAudio;
    // ANSWER1..ANSWER5; an absent option is std::nullopt (ANSWER1 and ANSWER2 are always there,
    // a NULL in them reads as an empty text).
    std::array<std::optional<std::string>, 5> answers;
    // ChoiceAudio1..ChoiceAudio5; empty when NULL.
    std::array<std::string, 5> choiceAudio;

    bool hasOption(int index) const {
        return answers.at(static_cast<std::size_t>(index)).has_value();
    }

    bool operator==(const QuestionRow&) const = default;
};

// The question bank ORVj32.db in the program folder: one table per presentation language.
// Read-only; the file is opened for each call and closed before it returns.
class QuestionBank {
public:
    static constexpr const char* kFileName = "ORVj32.db";

    explicit QuestionBank(std::filesystem::path path) : m_path(std::move(path)) {}

    const std::filesystem::path& path() const { return m_path; }

    // Names of all tables in the order the database holds them. Throws OrvjError when the
    // file is missing or is no database.
    std::vector<std::string> tableNames() const;

    // The rows of a table in stored order. Throws OrvjError when the file or the table is
    // missing, a field is missing, or an ID is not a whole number.
    std::vector<QuestionRow> rows(const std::string& table) const;

private:
    std::filesystem::path m_path;
};

} // namespace orvj
