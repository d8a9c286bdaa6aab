#pragma once

#include "core/AppState.h"
#include "scoring/ReportJobs.h"
#include "store/ClientFile.h"
#include "store/Clock.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FormDriving.h"
#include "ui/FormConventions.h"
#include "ui/SecretCodePrompt.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orvj::test {

namespace fs = std::filesystem;

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

// The bytes of a client file holding these records.
inline std::string bytesOf(const std::vector<ClientRecord>& records) {
    std::string bytes;
    for (const ClientRecord& r : records) {
        bytes.append(r.bytes().begin(), r.bytes().end());
    }
    return bytes;
}

// A program folder and a data folder in a fresh temporary folder, an AppState pointing at
// them, and the fakes wired into Services.
class ClientsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() /
               ("orvj_clients_" + std::to_string(orvj::platform::processId()) + "_" +
                info->test_suite_name() + "_" + info->name());
        fs::remove_all(root);
        fs::create_directories(root / "data");
        state.paths.home = reports.home = root;
        state.paths.dataFolder = root / "data";
        state.paths.clientFile = root / "data" / ClientFile::kFileName;
    }
    void TearDown() override { fs::remove_all(root); }

    // Puts the clients into memory and into the client file, as after start-up.
    void registerClients(const std::vector<ClientRecord>& records) {
        std::copy(records.begin(), records.end(), state.clients.records.begin() + 1);
        state.clients.clientCount = static_cast<std::int16_t>(records.size());
        state.clients.currentClient = records.empty() ? 0 : 1;
        writeFile(state.paths.clientFile, bytesOf(records));
    }
    // Opens a form on the fixture's state and services as the program would.
    template <typename T> T& open() {
        auto* made = new T(state, services);
        form.reset(made);
        showForm(made);
        return *made;
    }
    // A control of the open form, by its objectName.
    template <typename T = QWidget> T* child(const char* name) {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    std::string clientFile() { return readFile(state.paths.clientFile); }
    // Every later write fails: the data folder is gone (file modes do not bind root).
    void loseDataFolder() { fs::remove_all(state.paths.dataFolder); }
    QString lastText() const { return messages.shown.value(messages.shown.size() - 1).text; }

    fs::path root;
    AppState state;
    FakeServices fakes{state};
    FakeMessageService& messages = fakes.messages;
    FixedClock& clock = fakes.clock;
    FakeReportJobs& reports = fakes.reports;
    FakeSecretCode& secretCode = fakes.secretCode;
    Services& services = fakes.services;
    std::unique_ptr<QWidget> form;
};

} // namespace orvj::test
