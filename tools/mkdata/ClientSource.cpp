#include "tools/mkdata/ClientSource.h"

#include "core/ClientTable.h"
#include "core/InventoryLayout.h"
#include "store/DemographicLabels.h"
#include "tools/mkdata/SourceText.h"

#include <cctype>
#include <map>
#include <optional>

namespace orvj::mkdata {
namespace {

using Field = ClientRecord::Field;
namespace TL = orvj::InventoryLayout;

std::string trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

bool allDigits(std::string_view s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

struct Pending {
    std::size_t line = 0; // the "[client]" line
    std::map<std::string, std::pair<std::string, std::size_t>> values;
    std::string answers;
    std::vector<std::size_t> answerLines; // source line of each code
};

class Builder {
public:
    explicit Builder(const std::string& file) : m_file(file) {}

    ClientRecord build(const Pending& p) {
        ClientRecord rec;
        for (const char* key : {"name", "id", "age", "sex", "race", "education", "date"}) {
            if (!p.values.count(key)) {
                fail(p.line, std::string("client has no \"") + key + "\" line");
            }
        }
        setText(rec, Field::Name, p, "name");
        setText(rec, Field::SSN, p, "id");
        setAge(rec, p);
        setCode(rec, Field::Gender, p, "sex", DemographicLabels::kSexCount);
        setCode(rec, Field::Race, p, "race", DemographicLabels::kRaceCount);
        setCode(rec, Field::Education, p, "education", DemographicLabels::kEducationCount);
        setDate(rec, p);
        setCode(rec, Field::EditCount, p, "edit-count", 10, "0");
        setCode(rec, Field::NameDeleted, p, "name-deleted", 2, "0");
        setAnswers(rec, p);
        return rec;
    }

    [[noreturn]] void fail(std::size_t line, const std::string& what) const {
        throw SourceError(where(m_file, line) + what);
    }

private:
    std::pair<std::string, std::size_t> value(const Pending& p, const char* key,
                                              const char* fallback = nullptr) const {
        auto it = p.values.find(key);
        if (it == p.values.end()) {
            return {fallback ? fallback : "", p.line};
        }
        return it->second;
    }

    void setText(ClientRecord& rec, Field f, const Pending& p, const char* key) {
        auto [text, line] = value(p, key);
        std::string bytes = toCp1252(text, m_file, line, key);
        const auto width = ClientRecord::layout(f).width;
        if (bytes.empty()) {
            fail(line, std::string(key) + " is empty (write N when it is not available)");
        }
        if (bytes.size() > width) {
            fail(line, std::string(key) + " \"" + text + "\" is longer than the " +
                           std::to_string(width) + " characters the client file holds");
        }
        rec.set(f, bytes);
    }

    void setAge(ClientRecord& rec, const Pending& p) {
        auto [text, line] = value(p, "age");
        if (text != "N") {
            if (!allDigits(text) || text.size() > 2 || std::stoi(text) < 5) {
                fail(line, "age \"" + text + "\" must be 5 to 99, or N");
            }
        }
        rec.set(Field::Age, text);
    }

    void setCode(ClientRecord& rec, Field f, const Pending& p, const char* key, int count,
                 const char* fallback = nullptr) {
        auto [text, line] = value(p, key, fallback);
        if (text.size() != 1 || !allDigits(text) || text[0] - '0' >= count) {
            fail(line, std::string(key) + " \"" + text + "\" must be one digit from 0 to " +
                           std::to_string(count - 1));
        }
        rec.set(f, text);
    }

    void setDate(ClientRecord& rec, const Pending& p) {
        auto [text, line] = value(p, "date");
        bool ok = text.size() == 10 && text[2] == '/' && text[5] == '/' &&
                  allDigits(text.substr(0, 2)) && allDigits(text.substr(3, 2)) &&
                  allDigits(text.substr(6, 4));
        if (ok) {
            const int month = std::stoi(text.substr(0, 2));
            const int day = std::stoi(text.substr(3, 2));
            const int year = std::stoi(text.substr(6, 4));
            static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
            ok = month >= 1 && month <= 12 && day >= 1 && year >= 1900 &&
                 day <= (month == 2 && !leap ? 28 : kDays[month - 1]);
        }
        if (!ok) {
            fail(line, "date \"" + text + "\" is not a valid date written mm/dd/yyyy");
        }
        rec.set(Field::TestDate, text);
    }

    void setAnswers(ClientRecord& rec, const Pending& p) {
        if (p.answers.empty()) {
            fail(p.line, "client has no \"answers\" lines");
        }
        if (p.answers.size() != static_cast<std::size_t>(TL::kItemCount)) {
            fail(p.answerLines.back(),
                 "the answers lines hold " + std::to_string(p.answers.size()) + " codes; " +
                     std::to_string(TL::kItemCount) + " are needed, one per item");
        }
        for (int item = 1; item <= TL::kItemCount; ++item) {
            const char code = p.answers[static_cast<std::size_t>(item - 1)];
            if (!TL::isValidCode(item, code)) {
                fail(p.answerLines[static_cast<std::size_t>(item - 1)],
                     "item " + std::to_string(item) + " has answer code " + code +
                         ", but it has only " + std::to_string(TL::optionCount(item)) +
                         " options (0 means no answer)");
            }
        }
        rec.set(Field::Responses, p.answers);
    }

    std::string m_file;
};

} // namespace

std::vector<ClientRecord> parseClientSource(std::string_view text, const std::string& fileName) {
    static const char* const kKeys[] = {"name",       "id",          "age",  "sex",
                                        "race",       "education",   "date", "answers",
                                        "edit-count", "name-deleted"};
    Builder builder(fileName);
    std::vector<ClientRecord> records;
    std::optional<Pending> pending;
    auto finish = [&]() {
        if (pending) {
            if (records.size() >= static_cast<std::size_t>(ClientTable::kMaxClients)) {
                builder.fail(pending->line, "more than " +
                                                std::to_string(ClientTable::kMaxClients) +
                                                " clients; the program holds at most " +
                                                std::to_string(ClientTable::kMaxClients));
            }
            records.push_back(builder.build(*pending));
            pending.reset();
        }
    };

    std::size_t lineNo = 0;
    for (const std::string& raw : splitLines(text)) {
        ++lineNo;
        const std::string line = trim(raw);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line == "[client]") {
            finish();
            pending = Pending{};
            pending->line = lineNo;
            continue;
        }
        if (!pending) {
            builder.fail(lineNo, "expected \"[client]\" before the first client's lines");
        }
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            builder.fail(lineNo, "expected \"key: value\"");
        }
        const std::string key = trim(std::string_view(line).substr(0, colon));
        const std::string val = trim(std::string_view(line).substr(colon + 1));
        bool known = false;
        for (const char* k : kKeys) {
            known = known || key == k;
        }
        if (!known) {
            builder.fail(lineNo, "unknown key \"" + key + "\"");
        }
        if (key == "answers") {
            for (char c : val) {
                if (c == ' ' || c == '\t') {
                    continue;
                }
                if (!std::isdigit(static_cast<unsigned char>(c))) {
                    builder.fail(lineNo, std::string("answer code \"") + c + "\" is not a digit");
                }
                pending->answers.push_back(c);
                pending->answerLines.push_back(lineNo);
            }
            continue;
        }
        if (pending->values.count(key)) {
            builder.fail(lineNo, "\"" + key + "\" is given twice for this client");
        }
        pending->values[key] = {val, lineNo};
    }
    finish();
    return records;
}

std::vector<ClientRecord> readClientSource(const std::filesystem::path& file) {
    return parseClientSource(readFile(file), file.string());
}

std::string clientFileBytes(const std::vector<ClientRecord>& records) {
    std::string out;
    out.reserve(records.size() * ClientRecord::kSize);
    for (const ClientRecord& r : records) {
        out.append(r.bytes().data(), r.bytes().size());
    }
    return out;
}

} // namespace orvj::mkdata
