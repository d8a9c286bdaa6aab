#include "scoring/ReportWriter.h"

#include "scoring/InventoryLoader.h"
#include "scoring/ScaleScorer.h"
#include "store/OrvjError.h"
#include "store/ReportFiles.h"
#include "store/platform/File.h"

namespace orvj {

std::filesystem::path ReportWriter::reportPath() const {
    return ReportFiles::reportFile(m_home);
}

std::string ReportWriter::composeText(const ClientTable& clients, int client,
                                      ReportOption option) const {
    if (client < 1 || client > clients.clientCount) {
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        "client " + std::to_string(client) + " is not in the client file (" +
                            (clients.clientCount == 0
                                 ? std::string("it holds no clients")
                                 : "clients 1 to " + std::to_string(clients.clientCount)) +
                            ")");
    }
    const Inventory inventory = loadInventory(m_home);
    const ClientRecord& record = clients.at(client);
    ClientScores scores;
    try {
        scores = ScaleScorer(inventory.scoring).score(record, client);
    } catch (const OrvjError& e) {
        if (m_clientFile.empty()) {
            throw;
        }
        throw OrvjError(e.code(), m_clientFile.string() + ": " + e.what());
    }
    return ReportComposer(inventory, scores, record, client).compose(option);
}

void ReportWriter::compose(const ClientTable& clients, int client, ReportOption option,
                           std::ostream& out) const {
    const std::string text = composeText(clients, client, option);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void ReportWriter::writeReportFile(const ClientTable& clients, int client,
                                   ReportOption option) const {
    const std::filesystem::path target = reportPath();
    try {
        ReportFiles::write(target, composeText(clients, client, option));
    } catch (...) {
        // Whatever went wrong, no earlier client's report stays to be shown or printed.
        platform::removeFile(target);
        throw;
    }
}

} // namespace orvj
