#pragma once

#include "app/AppState.h"
#include "scoring/ReportJobs.h"
#include "store/ClientFile.h"
#include "store/Clock.h"
#include "store/OrvjError.h"
#include "tests/support/FakeMessageService.h"
#include "ui/SecretCodePrompt.h"
#include "ui/Services.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace orvj::test {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// A registered client with a complete record.
inline ClientRecord makeClient(const std::string& name, const std::string& id = "123-45",
                               char answer = '1') {
    using F = ClientRecord::Field;
    ClientRecord r;
    r.set(F::Name, name);
    r.set(F::SSN, id);
    r.set(F::Age, "15");
    r.set(F::Gender, "1");
    r.set(F::Race, "2");
    r.set(F::Education, "3");
    r.set(F::TestDate, "01/02/2025");
    r.set(F::Responses, std::string(143, answer));
    r.set(F::EditCount, "0");
    r.set(F::NameDeleted, "0");
    return r;
}

// Stands in for report composition and printing: composing writes one line naming the
// client and the report option into REPORT.PRN; printing records what REPORT.PRN holds.
class FakeReportJobs : public ReportJobs {
public:
    static std::string reportOf(int client, int option) {
        return "report of client " + std::to_string(client) + ", option " + std::to_string(option) +
               "\n";
    }

    void compose(const ClientTable& clients, int client, int reportOption) override {
        composed.push_back(client);
        currentAtCompose.push_back(clients.currentClient);
        if (failComposeOf.count(client) != 0) {
            fs::remove(m_home / "REPORT.PRN");
            throw OrvjError(ErrorCode::FileNotFound, "ORVJB.TXT: the scoring table is missing");
        }
        writeFile(m_home / "REPORT.PRN", reportOf(client, reportOption) + extra);
    }
    std::string readReportText() override {
        std::string text = readFile(m_home / "REPORT.PRN");
        if (!text.empty()) {
            text.pop_back();
        }
        return text;
    }
    void printReportFile() override {
        if (static_cast<int>(printed.size()) == failPrintAt) {
            throw OrvjError(ErrorCode::DeviceIO, "the default printer is not ready");
        }
        if (onPrint) {
            onPrint();
        }
        printed.push_back(readFile(m_home / "REPORT.PRN"));
    }

    std::vector<int> composed;
    std::vector<int> currentAtCompose;
    std::vector<std::string> printed;
    std::set<int> failComposeOf;
    int failPrintAt = -1; // index of the print call that fails
    std::string extra;    // Windows-1252 bytes added to every report
    std::function<void()> onPrint;
    fs::path m_home; // the program folder
};

class FakeSecretCode : public SecretCodePrompt {
public:
    bool AskSecretCode(QWidget*) override {
        ++asked;
        return answer;
    }
    bool answer = true;
    int asked = 0;
};

// Runs `check` on the first modal dialog of the named class that comes up, then closes it.
inline void whenModal(QObject* owner, const char* className, std::function<void(QWidget*)> check) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, className, check] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible() &&
            QString::fromLatin1(modal->metaObject()->className()) == QLatin1String(className)) {
            timer->stop();
            check(modal);
            modal->close();
        }
    });
    timer->start(5);
}

// A program folder and a data folder in a fresh temporary folder, an AppState pointing at
// them, and the fake seams wired into Services.
class ClientsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("orvj_clients_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "home");
        fs::create_directories(root / "data");
        state.paths.home = root / "home";
        state.paths.dataFolder = root / "data";
        state.paths.clientFile = root / "data" / ClientFile::kFileName;
        services.messages = &messages;
        services.clock = &clock;
        reports.m_home = state.paths.home;
        services.reports = &reports;
        services.secretCode = &secretCode;
    }
    void TearDown() override { fs::remove_all(root); }

    // Puts the clients into memory and into the client file, as after start-up.
    void registerClients(const std::vector<ClientRecord>& records) {
        for (std::size_t i = 0; i < records.size(); ++i) {
            state.clients.at(static_cast<int>(i) + 1) = records[i];
        }
        state.clients.clientCount = static_cast<std::int16_t>(records.size());
        state.clients.currentClient = records.empty() ? 0 : 1;
        std::string bytes;
        for (const auto& r : records) {
            bytes.append(r.bytes().begin(), r.bytes().end());
        }
        writeFile(state.paths.clientFile, bytes);
    }
    std::string recordInFile(int k) {
        const std::string all = readFile(state.paths.clientFile);
        const auto at = static_cast<std::size_t>(k - 1) * ClientRecord::kSize;
        return at < all.size() ? all.substr(at, ClientRecord::kSize) : std::string();
    }
    static std::string bytesOf(const ClientRecord& r) {
        return {r.bytes().begin(), r.bytes().end()};
    }
    // Every later write fails: the data folder is gone (file modes do not bind root).
    void loseDataFolder() { fs::remove_all(state.paths.dataFolder); }

    fs::path root;
    AppState state;
    FakeMessageService messages;
    FixedClock clock{Date{2025, 3, 14}};
    FakeReportJobs reports;
    FakeSecretCode secretCode;
    Services services;
};

} // namespace orvj::test
