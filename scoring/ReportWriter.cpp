#include "scoring/ReportWriter.h"

#include "scoring/InventoryFiles.h"
#include "scoring/InventoryLoader.h"
#include "scoring/ScaleScorer.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

namespace orvj {
namespace {

// A name beside REPORT.PRN for the report being written: "REPORT.PRN." and six characters of
// its own, so that two programs writing at once never share one.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    static int made = 0;
    constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    unsigned long long n = static_cast<unsigned long long>(platform::processId()) * 97u +
                           static_cast<unsigned long long>(++made);
    std::string suffix(6, '0');
    for (char& c : suffix) {
        c = kDigits[n % 36];
        n /= 36;
    }
    std::filesystem::path p = target;
    p += "." + suffix;
    return p;
}

} // namespace

std::filesystem::path ReportWriter::reportPath() const {
    return m_home / InventoryFiles::kReport;
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
    const ClientScores scores = ScaleScorer(inventory.scoring).score(record, client);
    return ReportComposer(inventory, scores, record, client, m_home).compose(option);
}

void ReportWriter::compose(const ClientTable& clients, int client, ReportOption option,
                           std::ostream& out) const {
    const std::string text = composeText(clients, client, option);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void ReportWriter::writeReportFile(const ClientTable& clients, int client,
                                   ReportOption option) const {
    const std::filesystem::path target = reportPath();
    std::error_code ignored;
    std::string text;
    try {
        text = composeText(clients, client, option);
    } catch (...) {
        std::filesystem::remove(target, ignored);
        throw;
    }

    const std::filesystem::path temporary = temporaryBeside(target);
    try {
        platform::File out = platform::File::open(temporary, platform::File::Mode::Replace,
                                                  "cannot create the report file");
        out.writeAll(text.data(), text.size(), "cannot write the report");
        out.close("cannot close the report file");
        // The old report goes first: renaming over an existing file makes some file systems
        // (ext4) flush the new one to disk at once, which costs far more than the report.
        platform::removeFile(target);
        platform::renameOver(temporary, target, "cannot replace the report file");
    } catch (...) {
        platform::removeFile(temporary);
        platform::removeFile(target);
        throw;
    }
}

} // namespace orvj
