// Any bytes as clients.txt of orvj-mkdata: a refusal names the file and a line of it; an
// accepted list writes a client file of 196-byte records that the program loads back record
// for record, each with valid codes.
#include "MkdataSupport.h"

#include "core/InventoryLayout.h"
#include "store/ClientFile.h"
#include "store/DemographicLabels.h"
#include "tools/mkdata/ClientSource.h"

using namespace orvj;

namespace {

const std::string kFile = "clients.txt";

void checkRecord(const ClientRecord& r) {
    using F = ClientRecord::Field;
    fuzz::check(r.digit(F::Gender) >= 0 && r.digit(F::Gender) < DemographicLabels::kSexCount,
                "a sex code");
    fuzz::check(r.digit(F::Race) >= 0 && r.digit(F::Race) < DemographicLabels::kRaceCount,
                "a race code");
    fuzz::check(r.digit(F::Education) >= 0 &&
                    r.digit(F::Education) < DemographicLabels::kEducationCount,
                "an education code");
    fuzz::check(r.digit(F::EditCount) >= 0, "an edit count");
    fuzz::check(r.field(F::NameDeleted) == "0" || r.field(F::NameDeleted) == "1",
                "a name-deleted flag");
    fuzz::check(!r.trimmed(F::Name).empty() && !r.trimmed(F::SSN).empty(), "a name and an ID");
    const std::string_view date = r.field(F::TestDate);
    fuzz::check(date[2] == '/' && date[5] == '/', "a date written mm/dd/yyyy", std::string(date));
    const std::string_view answers = r.field(F::Responses);
    for (int item = 1; item <= InventoryLayout::kItemCount; ++item) {
        fuzz::check(InventoryLayout::isValidCode(item, answers[static_cast<std::size_t>(item - 1)]),
                    "every answer code fits its item");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<ClientRecord> records;
    try {
        records = mkdata::parseClientSource(input, kFile);
    } catch (const mkdata::SourceError& e) {
        const std::size_t line = fuzz::refusedLine(e.what(), kFile);
        fuzz::check(line >= 1 && line <= mkdata::splitLines(input).size(),
                    "the refusal names a line of the file", e.what());
        return 0;
    }
    fuzz::check(records.size() <= static_cast<std::size_t>(ClientTable::kMaxClients),
                "at most 51 clients");
    const std::string bytes = mkdata::clientFileBytes(records);
    fuzz::check(bytes.size() == records.size() * ClientRecord::kSize, "196 bytes per record");

    const auto path = fuzz::scratch() / ClientFile::kFileName;
    fuzz::writeFile(path, bytes);
    ClientTable table;
    ClientFile(path).load(table);
    fuzz::check(table.clientCount == static_cast<int>(records.size()),
                "the program loads every record");
    for (std::size_t k = 0; k < records.size(); ++k) {
        fuzz::check(table.at(static_cast<int>(k) + 1) == records[k], "a record loads as written");
        checkRecord(records[k]);
    }
    return 0;
}
