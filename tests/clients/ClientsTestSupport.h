#pragma once

#include "core/AppState.h"
#include "store/ClientFile.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FormDriving.h"

#include <algorithm>
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
    const std::pair<F, std::string> fields[] = {
        {F::Name, name},     {F::SSN, id},          {F::Age, "15"},
        {F::Gender, "1"},    {F::Race, "2"},        {F::Education, "3"},
        {F::EditCount, "0"}, {F::NameDeleted, "0"}, {F::TestDate, "01/02/2025"},
    };
    ClientRecord r;
    for (const auto& [field, value] : fields) {
        r.set(field, value);
    }
    r.set(F::Responses, std::string(143, answer));
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
        fs::create_directories(root / "data");
        state.paths.home = reports.home = root;
        state.paths.dataFolder = root / "data";
        state.paths.clientFile = root / "data" / ClientFile::kFileName;
    }

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

    TempFolder folder{"orvj_clients"};
    fs::path root = folder.path();
    AppState state;
    FakeServices fakes{state};
    FakeMessageService& messages = fakes.messages;
    FakeReportJobs& reports = fakes.reports;
    FakeSecretCode& secretCode = fakes.secretCode;
    Services& services = fakes.services;
    std::unique_ptr<QWidget> form;
};

} // namespace orvj::test
