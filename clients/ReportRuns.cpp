#include "clients/ReportRuns.h"

#include "scoring/ReportJobs.h"
#include "store/OrvjError.h"

#include <cctype>
#include <system_error>

namespace fs = std::filesystem;

namespace orvj {
namespace {

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

void copyOver(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        throw OrvjError(ec == std::errc::no_such_file_or_directory ? ErrorCode::FileNotFound
                                                                   : ErrorCode::DeviceIO,
                        "cannot copy " + from.string() + " to " + to.string() + ": " +
                            ec.message());
    }
}

} // namespace

std::string ReportRunError::message() const {
    std::string text;
    if (m_stage == Stage::Compose) {
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
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_home, ec)) {
        if (sameNameIgnoringCase(entry.path().filename().string(), "REPORT.PRN")) {
            return entry.path();
        }
    }
    return m_home / "REPORT.PRN";
}

fs::path ReportRuns::pdfFileOf(int client) const {
    return m_pdfFolder / ("report-" + std::to_string(client) + ".pdf");
}

fs::path ReportRuns::tempFile(int number) const {
    return m_home / ("temp" + std::to_string(number));
}

void ReportRuns::composeAndPark(ClientTable& clients, int client, int copyNumber,
                                ReportOption option) {
    try {
        m_jobs.compose(clients, client, option);
        copyOver(reportFile(), tempFile(copyNumber));
    } catch (const std::exception& e) {
        throw ReportRunError(ReportRunError::Stage::Compose, client, {}, e.what());
    }
}

void ReportRuns::restoreAndPrint(int client, int copyNumber, const std::vector<int>& printed) {
    try {
        copyOver(tempFile(copyNumber), reportFile());
        if (m_pdfFolder.empty()) {
            m_jobs.printReportFile();
        } else {
            m_jobs.saveReportPdf(pdfFileOf(client));
        }
    } catch (const std::exception& e) {
        throw ReportRunError(ReportRunError::Stage::Print, client, printed, e.what());
    }
}

void ReportRuns::printAll(ClientTable& clients, ReportOption option) {
    const int count = clients.clientCount;
    for (int i = 1; i <= count; ++i) {
        clients.currentClient = static_cast<std::int16_t>(i);
        composeAndPark(clients, i, i, option);
    }
    std::vector<int> printed;
    for (int i = 1; i <= count; ++i) {
        clients.currentClient = static_cast<std::int16_t>(i);
        restoreAndPrint(i, i, printed);
        printed.push_back(i);
    }
    if (count > 0) {
        clients.currentClient = 1;
    }
}

} // namespace orvj
