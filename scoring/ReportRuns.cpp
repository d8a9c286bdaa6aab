#include "scoring/ReportRuns.h"

#include "scoring/ReportJobs.h"
#include "store/ReportFiles.h"

namespace fs = std::filesystem;

namespace orvj {
std::string ReportRunError::message() const {
    std::string text;
    if (m_stage == Stage::Lock) {
        text = "No report was composed or printed.\n";
    } else if (m_stage == Stage::Compose) {
        text = "The report of client " + std::to_string(m_client) +
               " could not be composed, so no report was printed.\n";
    } else {
        text = "Printing stopped at the report of client " + std::to_string(m_client) + ".\n";
        if (m_printed.empty()) {
            text += "No report was printed.\n";
        } else {
            text += "Printed before the fault: client";
            text += m_printed.size() > 1 ? "s " : " ";
            for (std::size_t i = 0; i < m_printed.size(); ++i) {
                text += (i > 0 ? ", " : "") + std::to_string(m_printed[i]);
            }
            text += ".\n";
        }
    }
    return text + what();
}

fs::path ReportRuns::reportFile() const {
    return ReportFiles::reportFile(m_home);
}

fs::path ReportRuns::pdfFileOf(int client) const {
    return m_pdfFolder / ("report-" + std::to_string(client) + ".pdf");
}

fs::path ReportRuns::tempFile(int number) const {
    return ReportFiles::copyFile(m_home, number);
}

ReportFolderLock ReportRuns::lockFolder() {
    try {
        return m_jobs.lockReportFolder();
    } catch (const std::exception& e) {
        throw ReportRunError(ReportRunError::Stage::Lock, 0, {}, e.what());
    }
}

void ReportRuns::composeAndPark(ClientTable& clients, int client, int copyNumber,
                                ReportOption option) {
    try {
        m_jobs.compose(clients, client, option);
        ReportFiles::copy(reportFile(), tempFile(copyNumber));
    } catch (const std::exception& e) {
        throw ReportRunError(ReportRunError::Stage::Compose, client, {}, e.what());
    }
}

void ReportRuns::printParked(const ReportFolderLock&, const std::vector<Parked>& parked) {
    std::vector<int> printed;
    for (const Parked& p : parked) {
        try {
            ReportFiles::copy(tempFile(p.copyNumber), reportFile());
            if (m_profileOf) {
                m_jobs.setProfileSheet(m_profileOf(p.client));
            }
            if (m_pdfFolder.empty()) {
                m_jobs.printReportFile();
            } else {
                m_jobs.saveReportPdf(pdfFileOf(p.client));
            }
        } catch (const std::exception& e) {
            m_jobs.setProfileSheet(std::nullopt);
            throw ReportRunError(ReportRunError::Stage::Print, p.client, printed, e.what());
        }
        printed.push_back(p.client);
    }
    m_jobs.setProfileSheet(std::nullopt);
}

std::vector<ReportRuns::Parked> ReportRuns::composeAll(const ReportFolderLock&,
                                                       ClientTable& clients, ReportOption option) {
    std::vector<Parked> parked;
    for (int i = 1; i <= clients.clientCount; ++i) {
        clients.currentClient = static_cast<std::int16_t>(i);
        composeAndPark(clients, i, i, option);
        parked.push_back({i, i});
    }
    return parked;
}

void ReportRuns::printAll(ClientTable& clients, ReportOption option) {
    const ReportFolderLock lock = lockFolder();
    printParked(lock, composeAll(lock, clients, option));
    if (clients.clientCount > 0) {
        clients.currentClient = 1;
    }
}

} // namespace orvj
