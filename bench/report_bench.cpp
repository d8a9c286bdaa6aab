// Report speed: composing with table loading, a full client file, scoring alone, and the
// command-line tool's --all as a process, on the sample data set of the build.
#include "scoring/InventoryLoader.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScaleScorer.h"
#include "store/ClientFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;

// A copy of the sample program folder whose client file holds 51 clients: the sample clients
// over and over.
class FullHome {
public:
    FullHome() {
        std::string pattern = (fs::temp_directory_path() / "orvj-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        m_path = pattern;
        const fs::path sample = ORVJ_SAMPLE_HOME;
        for (const auto& entry : fs::directory_iterator(sample)) {
            if (entry.is_regular_file()) {
                fs::copy_file(entry.path(), m_path / entry.path().filename());
            }
        }
        std::ofstream(m_path / "ORVJTest.ini") << "[Path]\r\nFilePath=data\r\n";
        fs::create_directory(m_path / "data");
        orvj::ClientTable sampleClients;
        orvj::ClientFile(sample / "data" / orvj::ClientFile::kFileName).load(sampleClients);
        if (sampleClients.clientCount == 0) {
            throw std::runtime_error("the sample client file holds no clients");
        }
        for (int k = 1; k <= orvj::ClientTable::kMaxClients; ++k) {
            m_clients.at(k) = sampleClients.at((k - 1) % sampleClients.clientCount + 1);
        }
        m_clients.clientCount = orvj::ClientTable::kMaxClients;
        const orvj::ClientFile file(m_path / "data" / orvj::ClientFile::kFileName);
        for (int k = 1; k <= m_clients.clientCount; ++k) {
            file.writeRecord(m_clients, k);
        }
    }
    ~FullHome() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }
    const orvj::ClientTable& clients() const { return m_clients; }

private:
    fs::path m_path;
    orvj::ClientTable m_clients;
};

FullHome& home() {
    static FullHome h;
    return h;
}

void ComposeOneReportWithTables(benchmark::State& state) {
    const orvj::ReportWriter writer(home().path());
    int client = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            writer.composeText(home().clients(), client, orvj::ReportOption::Standard));
        client = client % 7 + 1;
    }
}
BENCHMARK(ComposeOneReportWithTables)->Unit(benchmark::kMicrosecond);

void WriteOneReportFile(benchmark::State& state) {
    const orvj::ReportWriter writer(home().path());
    for (auto _ : state) {
        writer.writeReportFile(home().clients(), 2, orvj::ReportOption::Both);
    }
}
BENCHMARK(WriteOneReportFile)->Unit(benchmark::kMicrosecond);

void ComposeAll51Reports(benchmark::State& state) {
    const orvj::ReportWriter writer(home().path());
    for (auto _ : state) {
        for (int k = 1; k <= home().clients().clientCount; ++k) {
            benchmark::DoNotOptimize(
                writer.composeText(home().clients(), k, orvj::ReportOption::Standard));
        }
    }
}
BENCHMARK(ComposeAll51Reports)->Unit(benchmark::kMillisecond);

void LoadTables(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(orvj::loadInventory(home().path()));
    }
}
BENCHMARK(LoadTables)->Unit(benchmark::kMicrosecond);

void ScoreOneClient(benchmark::State& state) {
    const orvj::Inventory inventory = orvj::loadInventory(home().path());
    const orvj::ScaleScorer scorer(inventory.scoring);
    int client = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(scorer.score(home().clients().at(client), client));
        client = client % 7 + 1;
    }
}
BENCHMARK(ScoreOneClient)->Unit(benchmark::kMicrosecond);

// The whole command an office script runs, process start included.
void OrvjReportAllProcess(benchmark::State& state) {
    const std::string command = std::string(ORVJ_REPORT_BINARY) + " --home '" +
                                home().path().string() + "' --all >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("orvj-report --all failed");
            break;
        }
    }
}
BENCHMARK(OrvjReportAllProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
