#pragma once

#include "store/ClientFile.h"
#include "tests/session/BankBuilder.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FormDriving.h"

namespace orvj::test {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

// A program folder in a temporary directory with the fakes of the seams.
class ProgramHome {
public:
    ProgramHome() {
        state.paths.home = state.paths.dataFolder = state.paths.soundBase = dir;
        state.paths.clientFile = dir / ClientFile::kFileName;
        state.paths.questionBank = dir / QuestionBank::kFileName;
    }

    void writeBank(const Tables& tables) { test::writeBank(state.paths.questionBank, tables); }

    // The sample program folder's inventory files (scoring tables and report texts), so that
    // clients are scored as the program scores them.
    void copySampleInventory() {
        for (const auto& entry : fs::directory_iterator(fs::path(ORVJ_SAMPLE_HOME))) {
            const std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && (ext == ".TXT" || ext == ".txt")) {
                fs::copy_file(entry.path(), dir / entry.path().filename(),
                              fs::copy_options::overwrite_existing);
            }
        }
    }

    fs::path soundFolder(const std::string& language) const {
        return dir / "ORVJTest" / "sound" / language;
    }

    // Stand-ins for every instruction, question and option sound of the rows.
    void writeSounds(const std::string& language, const std::vector<QuestionRow>& rows) {
        fs::create_directories(soundFolder(language));
        std::vector<std::string> stems = {"Inst0", "Inst1", "Inst2", "Inst3", "Inst4", "Inst5"};
        for (const auto& r : rows) {
            stems.push_back(r.questionAudio);
            stems.insert(stems.end(), r.choiceAudio.begin(), r.choiceAudio.end());
        }
        for (const auto& stem : stems) {
            writeFile(soundFolder(language) / (stem + ".wav"), "");
        }
    }

    // Two saved clients, and a new one registered in slot 3.
    void registerNewClient() {
        for (int k = 1; k <= 2; ++k) {
            state.clients.at(k).set(ClientRecord::Field::Responses, std::string(143, '1'));
            ClientFile(state.paths.clientFile).writeRecord(state.clients, k);
        }
        state.clients.clientCount = 2;
        state.clients.currentClient = 3;
        state.clients.current().set(ClientRecord::Field::Name, "New Client");
        state.clients.current().set(ClientRecord::Field::Responses, std::string(143, '0'));
        state.dialogConfirmed = true;
    }

    // The response string of record `slot` as the client file holds it; empty when none.
    std::string storedResponses(int slot) const {
        const std::string bytes = readFile(state.paths.clientFile);
        const std::size_t at = static_cast<std::size_t>(slot - 1) * ClientRecord::kSize + 51;
        return bytes.substr(std::min(at, bytes.size()), 143);
    }
    // "title: text" of every message box shown.
    QStringList boxes() const {
        QStringList out;
        for (const auto& s : messages.shown) {
            out << s.title + u": "_s + s.text;
        }
        return out;
    }

    TempFolder folder{"orvj-testing"};
    fs::path dir = folder.path();
    AppState state;
    FakeServices fakes{state};
    Services& services = fakes.services;
    FakeMessageService& messages = fakes.messages;
    FakeLauncher& launcher = fakes.launcher;
    FakeSecretCode& secret = fakes.secretCode;
    AudioLog& audio = fakes.audio;
};

} // namespace orvj::test
