#pragma once

#include "core/ClientTable.h"
#include "scoring/ScoringTables.h"
#include "store/OrvjError.h"
#include "store/platform/WriteFaults.h"
#include "tests/support/Files.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orvj::testing {

using test::readFile;
using test::TempFolder; // a temporary folder removed with the object
using test::writeFile;

constexpr std::size_t ix(int i) {
    return static_cast<std::size_t>(i);
}
constexpr std::int16_t i16(int i) {
    return static_cast<std::int16_t>(i);
}

// The message of the OrvjError that f throws, or "no error".
template <class F> std::string errorOf(F&& f) {
    try {
        f();
    } catch (const OrvjError& e) {
        return e.what();
    }
    return "no error";
}

// A small inventory written into a temporary program folder by the test itself. Its numbers
// are chosen to be easy to reason about; tests change what they need before writing.
struct InventoryFixture {
    ScoringTables tables = defaultTables();
    std::vector<std::string> statements;      // 137 lines of ORVJRPT.TXT
    std::vector<std::string> questions;       // 143 lines of ORV-J.TXT
    std::map<std::string, std::string> files; // any other file: name -> bytes

    InventoryFixture();
    static ScoringTables defaultTables();
    // ORVJB.TXT in the loader's field order, ten fields to a line.
    static std::string tableFileText(const ScoringTables& t);
    void write(const std::filesystem::path& folder) const;
};

// A client with every answer given: responses is the 143-character string.
ClientRecord makeClient(const std::string& name, const std::string& responses, char sex = '1',
                        char race = '1');
// 143 codes: section 1 all False, section 2 "3", section 3 "1", section 4 "2", section 5 "1".
std::string neutralResponses();
// Sets items (1..143) of a response string, or items first..last of a record, to one code.
void setAnswers(std::string& responses, std::initializer_list<int> items, int code);
void setAnswers(ClientRecord& r, int first, int last, int code);
// The same percentile for a raw score of a scale in every norm group.
void setPercentile(ScoringTables& t, int scale, int raw, int percentile);

// Runs `action` with the nth `op` of the file layer failing as `kind` says, for n = 1, 2, ...
// until a run no longer reaches the fault; `check(n)` follows each struck run, disarmed.
void eachWriteFault(platform::FaultOp op, platform::FaultKind kind,
                    const std::function<void()>& action, const std::function<void(int)>& check);

// Splits report bytes into lines at CR LF.
std::vector<std::string> reportLines(const std::string& report);
// Pages of a report: one more than its form feeds.
inline long pages(const std::string& report) {
    return std::count(report.begin(), report.end(), '\f') + 1;
}
// Sheets of a PDF file: its page objects.
int pdfPages(const std::filesystem::path& pdf);

} // namespace orvj::testing
