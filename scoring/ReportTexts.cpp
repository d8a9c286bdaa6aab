#include "scoring/ReportTexts.h"

#include "scoring/InventoryFiles.h"
#include "scoring/LineReader.h"
#include "store/OrvjError.h"

namespace orvj {

HeldFile HeldFile::read(const std::filesystem::path& path) {
    HeldFile held;
    held.path = path;
    try {
        held.bytes = InventoryFiles::readBytes(path);
    } catch (const OrvjError& e) {
        held.faultCode = e.code();
        held.fault = e.what();
    }
    return held;
}

namespace ParagraphFile {
namespace {

LineReader readerOf(const HeldFile& file) {
    if (file.faultCode != 0) {
        throw OrvjError(file.faultCode, file.fault);
    }
    return LineReader(file.path, file.bytes);
}

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
    return section(HeldFile::read(path), key);
}

std::vector<std::string> section(const HeldFile& file, std::string_view key) {
    LineReader reader = readerOf(file);
    const std::filesystem::path& path = file.path;
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
    return untilEnd(HeldFile::read(path));
}

std::vector<std::string> untilEnd(const HeldFile& file) {
    LineReader reader = readerOf(file);
    return linesUntilEnd(reader, "the text");
}

} // namespace ParagraphFile
} // namespace orvj
