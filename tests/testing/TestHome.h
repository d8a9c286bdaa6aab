#pragma once

#include "core/AppState.h"
#include "store/ClientFile.h"
#include "store/platform/File.h"
#include "testing/AudioPlayer.h"
#include "tests/support/FakeMessageService.h"
#include "tests/testing/BankBuilder.h"
#include "ui/FormLauncher.h"
#include "ui/SecretCodePrompt.h"
#include "ui/Services.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvj::test {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

// What the fake players of one test did.
struct AudioLog {
    QStringList played; // file names of the sounds that started
    bool prepareFails = false;
    QString failOpenOf; // file name whose open fails
    class FakeAudioPlayer* last = nullptr;
};

class FakeAudioPlayer : public AudioPlayer {
public:
    explicit FakeAudioPlayer(AudioLog& log) : m_log(log) { m_log.last = this; }
    ~FakeAudioPlayer() override { m_log.last = nullptr; }

    bool prepare() override { return !m_log.prepareFails; }
    bool open(const QString& path) override {
        m_name = QFileInfo(path).fileName();
        return m_name != m_log.failOpenOf;
    }
    bool play() override {
        m_log.played << m_name;
        return true;
    }
    bool stop() override { return true; }
    void close() override { m_name.clear(); }
    int errorNumber() const override { return number; }
    QString errorDescription() const override { return text; }
    using AudioPlayer::reportLateError; // a fault the back end finds after play() returned

    int number = 7;
    QString text = u"The wave device is busy"_s;

private:
    AudioLog& m_log;
    QString m_name;
};

// Records the forms opened; the client-information form confirms (registering a client in
// slot ClientCount + 1) or cancels as the test says.
class FakeLauncher : public FormLauncher {
public:
    explicit FakeLauncher(AppState& state) : m_state(state) {}
    void showClientInfo(QWidget*) override {
        calls << u"clientInfo"_s;
        m_state.dialogConfirmed = confirmClientInfo;
        if (confirmClientInfo) {
            m_state.clients.currentClient =
                static_cast<std::int16_t>(m_state.clients.clientCount + 1);
            m_state.clients.current().set(ClientRecord::Field::Name, "New Client");
        }
    }
    void showNewEntry(QWidget*) override { calls << u"newEntry"_s; }
    void showSelectEntryMethod(QWidget*) override {}
    void showSupervisorOptions(QWidget*) override {}
    void showInstallVoiceFiles(QWidget*) override {}
    void showInstallInventory(QWidget*) override {}
    void showDataFolder(QWidget*) override {}

    QStringList calls;
    bool confirmClientInfo = true;

private:
    AppState& m_state;
};

// Answers "cancelled" `cancels` times, then gives the right code.
class FakeSecretCode : public SecretCodePrompt {
public:
    bool AskSecretCode(QWidget*) override { return ++asked > cancels; }
    int asked = 0;
    int cancels = 0;
};

// A program folder in a temporary directory with the fakes of the seams.
class TestHome {
public:
    TestHome() {
        static int made = 0;
        dir = fs::temp_directory_path() /
              ("orvj-testing-" + std::to_string(orvj::platform::processId()) + "-" +
               std::to_string(++made));
        fs::remove_all(dir);
        fs::create_directories(dir);
        state.paths.home = state.paths.dataFolder = state.paths.soundBase = dir;
        state.paths.clientFile = dir / ClientFile::kFileName;
        state.paths.questionBank = dir / QuestionBank::kFileName;
        services.messages = &messages;
        services.forms = &launcher;
        services.secretCode = &secret;
        services.makeAudioPlayer = [this] { return std::make_unique<FakeAudioPlayer>(audio); };
    }
    ~TestHome() { fs::remove_all(dir); }

    void writeBank(const Tables& tables) { test::writeBank(state.paths.questionBank, tables); }

    fs::path soundFolder(const std::string& language) const {
        return dir / "ORVJTest" / "sound" / language;
    }

    // Stand-ins for every instruction, question and option sound of the rows.
    void writeSounds(const std::string& language, const std::vector<QuestionRow>& rows) {
        std::vector<std::string> stems = {"Inst0", "Inst1", "Inst2", "Inst3", "Inst4", "Inst5"};
        for (const auto& r : rows) {
            stems.push_back(r.questionAudio);
            stems.insert(stems.end(), r.choiceAudio.begin(), r.choiceAudio.end());
        }
        fs::create_directories(soundFolder(language));
        for (const auto& stem : stems) {
            std::ofstream(soundFolder(language) / (stem + ".wav"));
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
        std::ifstream in(state.paths.clientFile, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
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

    fs::path dir;
    AppState state;
    Services services;
    FakeMessageService messages;
    FakeLauncher launcher{state};
    FakeSecretCode secret;
    AudioLog audio;
};

// Shows a form as the active window, so focus changes reach its controls.
inline bool showActive(QWidget* w) {
    w->show();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}

// A key to whatever holds the focus (the form itself when nothing does).
inline void press(QWidget* form, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : form, key, mods);
}

// Runs `f` on the next modal dialog of type T once it is up (for forms that run exec()).
template <typename T> void whenModal(std::function<void(T*)> f, int triesLeft = 1000) {
    QTimer::singleShot(10, qApp, [f, triesLeft] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            QApplication::setActiveWindow(dialog);
            f(dialog);
        } else if (triesLeft > 0) {
            whenModal<T>(f, triesLeft - 1);
        } else {
            ADD_FAILURE() << "the dialog never came up";
        }
    });
}

} // namespace orvj::test
