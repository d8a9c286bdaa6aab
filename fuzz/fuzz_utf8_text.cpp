// Any bytes as a text file for `orvj-mkdata text`, the strict UTF-8 reader: valid UTF-8 that
// Windows-1252 can hold comes back unchanged through Windows-1252 (line ends as CR LF, no
// byte-order mark), and a refusal names the first line that cannot be converted.
#include "MkdataSupport.h"

#include "store/Cp1252.h"

using namespace orvj;

namespace {

const std::string kFile = "notes.txt";

// What the tool must write, in UTF-8: every line ended by CR LF; a final CR without its LF
// is a line end too.
std::string expectedText(std::string_view in) {
    if (in.substr(0, 3) == "\xEF\xBB\xBF") {
        in.remove_prefix(3);
    }
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\r' && (i + 1 == in.size() || in[i + 1] == '\n')) {
            continue;
        }
        out += in[i] == '\n' ? "\r\n" : std::string(1, in[i]);
    }
    if (!in.empty() && in.back() != '\n') {
        out += "\r\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    try {
        const std::string bytes = mkdata::textToCp1252(input, kFile);
        fuzz::check(cp1252ToUtf8(bytes) == expectedText(input),
                    "accepted UTF-8 comes back unchanged through Windows-1252");
    } catch (const mkdata::SourceError& e) {
        const std::string what = e.what();
        const std::size_t line = fuzz::refusedLine(what, kFile);
        const auto lines = mkdata::splitLines(input);
        fuzz::check(line >= 1 && line <= lines.size(), "the refused line is in the file", what);
        fuzz::check(!utf8ToCp1252(lines[line - 1]).has_value(), "the refused line is bad", what);
        for (std::size_t n = 1; n < line; ++n) {
            fuzz::check(utf8ToCp1252(lines[n - 1]).has_value(), "it is the first bad line", what);
        }
    }
    return 0;
}
