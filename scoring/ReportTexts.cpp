#include "scoring/ReportTexts.h"

#include "scoring/InventoryFiles.h"
#include "scoring/LineReader.h"
#include "store/OrvjError.h"

namespace orvj::ParagraphFile {
namespace {

std::vector<std::string> linesUntilEnd(LineReader& reader, std::string_view what) {
    std::vector<std::string> lines;
    for (;;) {
        if (reader.atEnd()) {
            throw OrvjError(ErrorCode::InputPastEnd,
                            reader.path().string() + ": no line \"END\" closes " +
                                std::string(what) + " (the file ends after line " +
                                std::to_string(reader.lineNumber()) + ")");
        }
        std::string_view line = reader.next("END");
        if (line == "END") {
            return lines;
        }
        lines.emplace_back(line);
    }
}

} // namespace

std::vector<std::string> section(const std::filesystem::path& path, std::string_view key) {
    LineReader reader(path, InventoryFiles::readBytes(path));
    while (!reader.atEnd()) {
        if (reader.next(key) == key) {
            return linesUntilEnd(reader, "the section \"" + std::string(key) +
                                             "\" that begins on line " +
                                             std::to_string(reader.lineNumber()));
        }
    }
    throw OrvjError(ErrorCode::InputPastEnd, path.string() + ": no section \"" + std::string(key) +
                                                 "\" (no line is exactly \"" + std::string(key) +
                                                 "\")");
}

std::vector<std::string> untilEnd(const std::filesystem::path& path) {
    LineReader reader(path, InventoryFiles::readBytes(path));
    return linesUntilEnd(reader, "the text");
}

} // namespace orvj::ParagraphFile
