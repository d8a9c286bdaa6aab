// Any bytes as ORVj32.db, read through the program's reader: it never crashes, every refusal is
// an OrvjError that names the file, reading leaves the file as it was, and a table read twice
// gives the same rows (or the same refusal).
#include "FuzzSupport.h"

#include "store/OrvjError.h"
#include "store/QuestionBank.h"

#include <exception>
#include <variant>
#include <vector>

using namespace orvj;

namespace {

using Outcome = std::variant<std::vector<QuestionRow>, std::string>;

void checkRefusal(const OrvjError& e, const std::filesystem::path& path) {
    const std::string what = e.what();
    fuzz::check(what.rfind(path.string() + ": ", 0) == 0, "the refusal names the file", what);
    fuzz::check(e.code() != 0, "the refusal has an error number", what);
}

template <typename Read>
auto readOrRefuse(const std::filesystem::path& path, Read read)
    -> std::variant<decltype(read()), std::string> {
    try {
        return read();
    } catch (const OrvjError& e) {
        checkRefusal(e, path);
        return std::string(e.what());
    } catch (const std::exception& e) {
        fuzz::propertyFailed("every refusal is an OrvjError", e.what());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto path = fuzz::scratch() / QuestionBank::kFileName;
    for (const char* side : {"-journal", "-wal", "-shm"}) {
        std::filesystem::remove(path.string() + side);
    }
    fuzz::writeFile(path, bytes);
    const QuestionBank bank(path);

    const auto tables = readOrRefuse(path, [&] { return bank.tableNames(); });
    const auto* names = std::get_if<std::vector<std::string>>(&tables);
    if (names == nullptr) {
        return 0;
    }
    std::vector<std::string> wanted = {"English", "Spanish"};
    // A few of the bank's own tables too, whatever their names; a schema may hold thousands.
    for (std::size_t i = 0; i < names->size() && i < 4; ++i) {
        wanted.push_back((*names)[i]);
    }
    for (const std::string& table : wanted) {
        const Outcome first = readOrRefuse(path, [&] { return bank.rows(table); });
        const Outcome second = readOrRefuse(path, [&] { return bank.rows(table); });
        fuzz::check(first == second, "a table read twice gives the same rows", table);
        if (const auto* rows = std::get_if<std::vector<QuestionRow>>(&first)) {
            fuzz::check(std::find(names->begin(), names->end(), table) != names->end(),
                        "only a listed table has rows", table);
            for (const QuestionRow& row : *rows) {
                fuzz::check(row.hasOption(0) && row.hasOption(1), "options 1 and 2 are there");
                fuzz::check(row.id >= -32768 && row.id <= 32767, "an ID is a 16-bit number");
            }
        }
    }
    fuzz::check(fuzz::readFile(path) == bytes, "reading leaves the bank as it was");
    return 0;
}
