#pragma once

#include "core/ClientTable.h"
#include "core/ReportOption.h"
#include "scoring/ProfileData.h"
#include "store/ReportFolderLock.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvj {

class ReportJobs;

// A multi-client print run stopped. Nothing composed is printed unless `printed` lists it.
class ReportRunError : public std::runtime_error {
public:
    // Lock: the program folder's report lock stayed taken, so the run did not start.
    enum class Stage { Lock, Compose, Print };
    ReportRunError(Stage stage, int client, std::vector<int> printed, const std::string& what)
        : std::runtime_error(what), m_stage(stage), m_client(client),
          m_printed(std::move(printed)) {}
    Stage stage() const { return m_stage; }
    // The client whose report failed.
    int client() const { return m_client; }
    // The clients whose reports went to the printer before the fault, in order.
    const std::vector<int>& printed() const { return m_printed; }
    // What the supervisor is told: which report failed, what was printed, and why.
    std::string message() const;

private:
    Stage m_stage;
    int m_client;
    std::vector<int> m_printed;
};

// The print runs of the supervisor's utilities and of `orvj-report --all`. Every report is
// composed into REPORT.PRN and parked in a numbered copy (temp<n>) in the program folder
// before the first one is printed; the copies are then put back into REPORT.PRN one by one
// and printed. A whole run holds the program folder's report lock.
class ReportRuns {
public:
    ReportRuns(ReportJobs& jobs, std::filesystem::path home)
        : m_jobs(jobs), m_home(std::move(home)) {}

    // Instead of the printer, each report of a run becomes "report-<record number>.pdf" in
    // this folder (an office without a printer). Empty: the printer.
    void setPdfFolder(std::filesystem::path folder) { m_pdfFolder = std::move(folder); }
    // The profile chart printed after each report of a run ("Add profile chart"): the
    // picture of a client, or none. Not set: no chart.
    void setProfiles(std::function<std::optional<ProfileData>(int client)> profileOf) {
        m_profileOf = std::move(profileOf);
    }
    std::filesystem::path pdfFileOf(int client) const;

    // A composed report waiting in its copy.
    struct Parked {
        int client = 0;
        int copyNumber = 0;
    };

    // The two halves of a run, for a caller that holds the program folder's lock (`lock`,
    // from ReportJobs::lockReportFolder) across both and more.
    // Composes clients 1..ClientCount, each parked in the copy of its record number; prints
    // nothing. CurrentClient is left at the last client.
    std::vector<Parked> composeAll(const ReportFolderLock& lock, ClientTable& clients,
                                   ReportOption option);
    // Puts each parked report back into REPORT.PRN and prints it, in the order given.
    void printParked(const ReportFolderLock& lock, const std::vector<Parked>& parked);

    // composeAll, then printParked, under the lock; CurrentClient is 1 afterwards.
    void printAll(ClientTable& clients, ReportOption option);
    // The given clients in ascending order, copies numbered 1, 2, ...; CurrentClient is left
    // at the last of them. `onCompose(k)` runs as the k-th client (0-based) is taken.
    template <typename OnCompose>
    void printSelected(ClientTable& clients, const std::vector<int>& selected, ReportOption option,
                       OnCompose onCompose);
    void printSelected(ClientTable& clients, const std::vector<int>& selected,
                       ReportOption option) {
        printSelected(clients, selected, option, [](std::size_t) {});
    }

    // REPORT.PRN as it stands in the program folder (whatever the case of its name).
    std::filesystem::path reportFile() const;
    std::filesystem::path tempFile(int number) const;

private:
    ReportFolderLock lockFolder();
    void composeAndPark(ClientTable& clients, int client, int copyNumber, ReportOption option);

    ReportJobs& m_jobs;
    std::filesystem::path m_home;
    std::filesystem::path m_pdfFolder;
    std::function<std::optional<ProfileData>(int client)> m_profileOf;
};

template <typename OnCompose>
void ReportRuns::printSelected(ClientTable& clients, const std::vector<int>& selected,
                               ReportOption option, OnCompose onCompose) {
    const ReportFolderLock lock = lockFolder();
    for (std::size_t k = 0; k < selected.size(); ++k) {
        onCompose(k);
        clients.currentClient = static_cast<std::int16_t>(selected[k]);
        composeAndPark(clients, selected[k], static_cast<int>(k) + 1, option);
    }
    std::vector<Parked> parked;
    for (std::size_t k = 0; k < selected.size(); ++k) {
        parked.push_back({selected[k], static_cast<int>(k) + 1});
    }
    printParked(lock, parked);
}

} // namespace orvj
