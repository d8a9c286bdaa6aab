#include "tools/report/StatsCommands.h"

#include "scoring/CriticalCases.h"
#include "scoring/InventoryLoader.h"
#include "scoring/OfficeStatistics.h"
#include "store/ConfigFile.h"
#include "store/Cp1252.h"

#include <ostream>
#include <stdexcept>

namespace orvj {

int parseDateArgument(const std::string& text, const std::string& option) {
    std::string usual = text;
    // yyyy-mm-dd as mm/dd/yyyy, the record's own form.
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        usual = text.substr(5, 2) + "/" + text.substr(8, 2) + "/" + text.substr(0, 4);
    }
    const auto key = testDateKey(usual);
    if (!key || usual.size() != text.size()) {
        throw std::invalid_argument(option + " must be a date as mm/dd/yyyy or yyyy-mm-dd, not \"" +
                                    text + "\"");
    }
    return *key;
}

void checkStatsArguments(const ReportToolOptions& o) {
    using Command = ReportToolOptions::Command;
    if ((o.since || o.until) && o.command != Command::Stats) {
        throw std::invalid_argument("--since and --until go with --stats");
    }
    if (!o.folders.empty() && o.command != Command::Stats && o.command != Command::Compare) {
        throw std::invalid_argument("--folder goes with --stats or --compare");
    }
    if (o.chart && !o.pdf && !o.print) {
        throw std::invalid_argument("--chart goes with --pdf or --print");
    }
    if (o.since && o.until && *o.since > *o.until) {
        throw std::invalid_argument("--since is after --until");
    }
    if (o.command == Command::Stats && (o.deidentified || o.responses)) {
        throw std::invalid_argument("--deidentified and --responses go with --scores");
    }
}

std::vector<ProfileData> chartProfiles(const ReportToolOptions& o,
                                       const std::filesystem::path& home, const ClientTable& table,
                                       const std::vector<int>& clients) {
    std::vector<ProfileData> profiles;
    if (!o.chart) {
        return profiles;
    }
    const Inventory inventory = loadInventory(home);
    for (int client : clients) {
        profiles.push_back(profileOf(table.at(client), client, inventory.scoring));
    }
    return profiles;
}

RetestComparison findComparison(const ReportToolOptions& o, const std::filesystem::path& home) {
    std::vector<ClientData> files;
    files.push_back(loadClients(home));
    for (const auto& folder : rememberedDataFolders(home, home / ConfigFile::kFileName)) {
        files.push_back(loadDataFolder(folder));
    }
    for (const auto& folder : o.folders) {
        files.push_back(loadDataFolder(folder));
    }
    std::vector<SearchedTable> searched;
    for (const ClientData& data : files) {
        searched.push_back({data.file, &data.table});
    }
    const Inventory inventory = loadInventory(home);
    return compareRetests(searched, o.compareId, inventory.scoring);
}

int runComparison(const ReportToolOptions& o, const std::filesystem::path& home, std::ostream& out,
                  std::ostream& err, const std::function<void(const RetestComparison&)>& writePdf) {
    const RetestComparison c = findComparison(o, home);
    for (const std::string& note : c.notes) {
        err << "orvj-report: " << note << "\n";
    }
    if (c.tests.empty()) {
        err << "orvj-report: no test with ID number \"" << c.id << "\" was found\n";
        return 1;
    }
    if (c.tests.size() == 1) {
        out << "Only one test with ID number \"" << c.id << "\" was found ("
            << c.tests.front().profile.testDate << "): there is nothing to compare.\n";
        return c.notes.empty() ? 0 : 1;
    }
    // Record text reaches the terminal: no control character may steer it.
    std::string text = comparisonText(c);
    for (char& ch : text) {
        if ((static_cast<unsigned char>(ch) < 0x20 && ch != '\n') || ch == 0x7F) {
            ch = ' ';
        }
    }
    out << cp1252ToUtf8(text);
    if (o.pdf) {
        writePdf(c);
    }
    return c.notes.empty() ? 0 : 1;
}

int runStatistics(const ReportToolOptions& o, const std::filesystem::path& home, std::ostream& out,
                  std::ostream& err) {
    std::vector<ClientData> files;
    files.push_back(loadClients(home));
    for (const auto& folder : o.folders) {
        files.push_back(loadDataFolder(folder));
    }
    const Inventory inventory = loadInventory(home);
    const CriticalRule rule = CriticalRule::read(ConfigFile(home / ConfigFile::kFileName));
    OfficeStatistics stats(inventory.scoring, rule, {o.since, o.until});
    for (const ClientData& data : files) {
        stats.addTable(data.table, data.file.string());
    }
    for (const std::string& note : stats.notes()) {
        err << "orvj-report: " << note << "\n";
    }
    out << (o.csv ? statisticsCsv(stats) : statisticsText(stats));
    return stats.notes().empty() ? 0 : 1;
}

} // namespace orvj
