#include "scoring/CriticalCases.h"

#include "scoring/InventoryLoader.h"
#include "scoring/ScaleScorer.h"
#include "scoring/Scales.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"

#include <charconv>

namespace orvj {
namespace {

int readCount(const ConfigFile& config, const ConfigFile::Key& key, int fallback) {
    const std::string text = config.ReadValue(key);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > CriticalRule::kMostScales) {
        return fallback;
    }
    return value;
}

} // namespace

int scalesInRange(const ClientScores& scores, int low, int high) {
    int count = 0;
    for (int n = Scales::Anxiety; n <= Scales::kCount; ++n) {
        if (!scores.notScorable(n) && scores.pct(n) >= low && scores.pct(n) <= high) {
            ++count;
        }
    }
    return count;
}

bool CriticalRule::flags(const ClientScores& scores) const {
    if (invalidTruthfulness && scores.invalid()) {
        return true;
    }
    if (maximumScales > 0 && scalesInRange(scores, 90, 100) >= maximumScales) {
        return true;
    }
    return problemScales > 0 && scalesInRange(scores, 70, 89) >= problemScales;
}

CriticalRule CriticalRule::read(const ConfigFile& config) {
    const CriticalRule defaults;
    CriticalRule rule;
    rule.maximumScales = readCount(config, ConfigFile::kCriticalMaximum, defaults.maximumScales);
    rule.problemScales = readCount(config, ConfigFile::kCriticalProblem, defaults.problemScales);
    const std::string invalid = config.ReadValue(ConfigFile::kCriticalInvalid);
    rule.invalidTruthfulness = invalid.substr(0, 3) != "Fal";
    return rule;
}

void CriticalRule::write(const ConfigFile& config) const {
    using C = ConfigFile;
    config.WritePrivateProfileString(C::kCriticalMaximum.section, C::kCriticalMaximum.key,
                                     std::to_string(maximumScales));
    config.WritePrivateProfileString(C::kCriticalProblem.section, C::kCriticalProblem.key,
                                     std::to_string(problemScales));
    config.WritePrivateProfileString(C::kCriticalInvalid.section, C::kCriticalInvalid.key,
                                     invalidTruthfulness ? "True" : "False");
}

std::vector<bool> criticalClients(const ClientTable& clients, const ScoringTables& tables,
                                  const CriticalRule& rule) {
    std::vector<bool> flags(static_cast<std::size_t>(clients.clientCount) + 1, false);
    const ScaleScorer scorer(tables);
    for (int k = 1; k <= clients.clientCount; ++k) {
        try {
            flags[static_cast<std::size_t>(k)] = rule.flags(scorer.score(clients.at(k), k));
        } catch (const OrvjError&) {
            // Not scorable: its report says why; it carries no flag.
        }
    }
    return flags;
}

std::vector<bool> criticalClients(const ClientTable& clients, const std::filesystem::path& home,
                                  const std::filesystem::path& config) {
    try {
        const Inventory inventory = loadInventory(home);
        const CriticalRule rule = CriticalRule::read(ConfigFile(config));
        return criticalClients(clients, inventory.scoring, rule);
    } catch (const OrvjError&) {
        return std::vector<bool>(static_cast<std::size_t>(clients.clientCount) + 1, false);
    }
}

bool isCriticalClient(const ClientTable& clients, int client, const std::filesystem::path& home,
                      const std::filesystem::path& config) {
    const std::vector<bool> flags = criticalClients(clients, home, config);
    return client >= 1 && static_cast<std::size_t>(client) < flags.size() &&
           flags[static_cast<std::size_t>(client)];
}

} // namespace orvj
