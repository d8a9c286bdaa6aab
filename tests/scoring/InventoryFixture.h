#pragma once

#include "scoring/ScoringTables.h"
#include "store/ClientTable.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace orvj::testing {

// A small inventory written into a temporary program folder by the test itself. Its numbers
// are chosen to be easy to reason about; tests change what they need before writing.
struct InventoryFixture {
    ScoringTables tables = defaultTables();
    std::vector<std::string> statements;      // 137 lines of ORVJRPT.TXT
    std::vector<std::string> questions;       // 143 lines of ORV-J.TXT
    std::map<std::string, std::string> files; // any other file: name -> bytes
    std::string publisher = "Sample Publisher, 1 Main Street, Springfield";

    InventoryFixture();

    static ScoringTables defaultTables();
    // ORVJB.TXT in the loader's field order, ten fields to a line.
    static std::string tableFileText(const ScoringTables& t);
    // A keyed paragraph file with the six sections, each "<tag> <KEY> line 1/2".
    static std::string paragraphFileText(const std::string& tag);

    void write(const std::filesystem::path& folder) const;
};

// A temporary folder removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// A client with every answer given: responses is the 143-character string.
ClientRecord makeClient(const std::string& name, const std::string& responses, char sex = '1',
                        char race = '1');
// 143 codes: section 1 all False, section 2 "3", section 3 "1", section 4 "2", section 5 "1".
std::string neutralResponses();
// Sets item (1..143) of a response string.
void setAnswer(std::string& responses, int item, int code);

std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& bytes);
// Splits report bytes into lines at CR LF.
std::vector<std::string> reportLines(const std::string& report);

} // namespace orvj::testing
