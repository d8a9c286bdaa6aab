#include "scoring/ProfileData.h"

#include "scoring/InventoryLoader.h"
#include "scoring/ScaleScorer.h"
#include "store/OrvjError.h"

#include <memory>

namespace orvj {

ProfileData profileOf(const ClientRecord& record, int recordNumber, const ScoringTables& tables) {
    using F = ClientRecord::Field;
    return {record.trimmed(F::Name), record.trimmed(F::SSN), record.trimmed(F::TestDate),
            recordNumber, ScaleScorer(tables).score(record, recordNumber)};
}

std::function<std::optional<ProfileData>(int client)>
profileSource(const ClientTable& clients, const std::filesystem::path& home) {
    auto inventory = std::make_shared<const Inventory>(loadInventory(home));
    return [&clients, inventory](int client) -> std::optional<ProfileData> {
        try {
            return profileOf(clients.at(client), client, inventory->scoring);
        } catch (const OrvjError&) {
            return std::nullopt;
        }
    };
}

} // namespace orvj
