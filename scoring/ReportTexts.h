#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orvj {

// A text file read with the inventory for the reports that use it. A file that could not be
// read keeps the fault, which is raised only when a report needs the text.
struct HeldFile {
    std::filesystem::path path;
    std::string bytes;
    int faultCode = 0; // an ErrorCode when the file could not be read
    std::string fault; // its message

    // The file read now; a fault is held, not thrown.
    static HeldFile read(const std::filesystem::path& path);
};

// The report's wording, held for one report: the statements of ORVJRPT.TXT, the question
// lines of the treatment-needs section from ORV-J.TXT and the publisher line. All text is
// Windows-1252 bytes, printed unchanged. The scale paragraph files and the invalid-test
// explanation are held as read, so that a report reads no file while it is written.
struct ReportTexts {
    static constexpr int kParagraphFiles = 9; // one to a scale
    static constexpr int kStatements = 89;
    static constexpr int kStressorStatements = 48;
    static constexpr int kFirstHeldQuestion = 121;
    static constexpr int kLastHeldQuestion = 131;

    // statements[k] belongs to entry k (1..89) of the significant-item table.
    std::array<std::string, kStatements + 1> statements{};
    // stressorStatements[4 * (k - 1) + c]: section 5 item k (1..12), response code c (1..4).
    std::array<std::string, kStressorStatements + 1> stressorStatements{};
    // Whole question lines of items 121..131, index item - 120.
    std::array<std::string, kLastHeldQuestion - kFirstHeldQuestion + 2> questionLines{};
    std::string publisher;
    // paragraphFiles[n]: the paragraph file of scale n (1..9).
    std::array<HeldFile, kParagraphFiles + 1> paragraphFiles{};
    HeldFile invalidExplanation;

    const std::string& questionLine(int item) const {
        return questionLines.at(static_cast<std::size_t>(item - kFirstHeldQuestion + 1));
    }
};

// Keyed paragraph files: sections that start with a key line and end with "END".
namespace ParagraphFile {

// The lines after the first line equal to `key`, up to the next line "END". Lines compare
// whole and case-sensitively. Throws OrvjError naming the file when it is missing or the key
// or the closing "END" never comes.
std::vector<std::string> section(const std::filesystem::path& path, std::string_view key);
// The same from a held file; its fault, if any, is thrown here.
std::vector<std::string> section(const HeldFile& file, std::string_view key);

// The lines from the top of the file up to the first line "END".
std::vector<std::string> untilEnd(const std::filesystem::path& path);
std::vector<std::string> untilEnd(const HeldFile& file);

} // namespace ParagraphFile
} // namespace orvj
