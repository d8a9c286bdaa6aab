#pragma once

#include "app/AppState.h"
#include "store/ClientFile.h"
#include "store/QuestionBank.h"
#include "tests/support/FakeMessageService.h"
#include "tests/testing/BankBuilder.h"
#include "tests/testing/FakeAudioPlayer.h"
#include "ui/FormLauncher.h"
#include "ui/SecretCodePrompt.h"
#include "ui/Services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace orvj::test {

namespace fs = std::filesystem;

// Records the forms the entry-method form opens; the client-information form "confirms" or
// "cancels" as the test says, and registers the client in slot ClientCount + 1.
class FakeLauncher : public FormLauncher {
public:
    explicit FakeLauncher(AppState& state) : m_state(state) {}
    void showClientInfo(QWidget*) override {
        calls << QStringLiteral("clientInfo");
        m_state.dialogConfirmed = confirmClientInfo;
        if (confirmClientInfo) {
            m_state.clients.currentClient =
                static_cast<std::int16_t>(m_state.clients.clientCount + 1);
            ClientRecord& r = m_state.clients.current();
            r.clear();
            r.set(ClientRecord::Field::Name, "New Client");
            r.set(ClientRecord::Field::Responses, std::string(143, '0'));
        }
    }
    void showNewEntry(QWidget*) override { calls << QStringLiteral("newEntry"); }
    void showSelectEntryMethod(QWidget*) override { calls << QStringLiteral("selectEntryMethod"); }
    void showSupervisorOptions(QWidget*) override { calls << QStringLiteral("supervisorOptions"); }
    void showInstallVoiceFiles(QWidget*) override { calls << QStringLiteral("installVoiceFiles"); }

    QStringList calls;
    bool confirmClientInfo = true;

private:
    AppState& m_state;
};

// Answers "cancelled" a given number of times, then gives the right code.
class FakeSecretCode : public SecretCodePrompt {
public:
    bool AskSecretCode(QWidget*) override {
        ++asked;
        if (onAsk) {
            onAsk();
        }
        return asked > cancels;
    }
    int asked = 0;
    int cancels = 0;
    std::function<void()> onAsk;
};

// A program folder in a temporary directory: a question bank, sound files, a client file
// path, and the fakes of the seams.
class TestHome {
public:
    TestHome() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        static int made = 0;
        dir = fs::temp_directory_path() /
              (std::string("orvj-") + info->test_suite_name() + "-" + info->name() + "-" +
               std::to_string(::getpid()) + "-" + std::to_string(++made));
        fs::remove_all(dir);
        fs::create_directories(dir);
        state.paths.home = dir;
        state.paths.dataFolder = dir;
        state.paths.clientFile = dir / ClientFile::kFileName;
        state.paths.questionBank = dir / QuestionBank::kFileName;
        state.paths.soundBase = dir;
        services.messages = &messages;
        services.forms = &launcher;
        services.secretCode = &secret;
        services.makeAudioPlayer = fakeAudio(audio);
    }
    ~TestHome() { fs::remove_all(dir); }

    void writeBank(const std::vector<std::pair<std::string, std::vector<QuestionRow>>>& tables) {
        BankBuilder b(state.paths.questionBank);
        for (const auto& [name, rows] : tables) {
            b.addTable(name, rows);
        }
    }

    fs::path soundFolder(const std::string& language) const {
        return dir / "ORVJTest" / "sound" / language;
    }

    // Empty stand-ins for every instruction, question and option sound of the rows.
    void writeSounds(const std::string& language, const std::vector<QuestionRow>& rows) {
        const fs::path folder = soundFolder(language);
        fs::create_directories(folder);
        auto touch = [&](const std::string& name) { std::ofstream(folder / name) << "RIFF"; };
        for (int i = 0; i < 6; ++i) {
            touch("Inst" + std::to_string(i) + ".wav");
        }
        for (const auto& r : rows) {
            touch(r.questionAudio + ".wav");
            for (const auto& a : r.choiceAudio) {
                if (!a.empty()) {
                    touch(a + ".wav");
                }
            }
        }
    }

    // A registered new client in slot ClientCount + 1 (clientCount existing clients first).
    void registerNewClient(int existing = 0) {
        for (int k = 1; k <= existing; ++k) {
            ClientRecord& r = state.clients.at(k);
            r.set(ClientRecord::Field::Name, "Client " + std::to_string(k));
            r.set(ClientRecord::Field::Responses, std::string(143, '1'));
            ClientFile(state.paths.clientFile).writeRecord(state.clients, k);
        }
        state.clients.clientCount = static_cast<std::int16_t>(existing);
        state.clients.currentClient = static_cast<std::int16_t>(existing + 1);
        ClientRecord& r = state.clients.current();
        r.set(ClientRecord::Field::Name, "New Client");
        r.set(ClientRecord::Field::Responses, std::string(143, '0'));
        state.dialogConfirmed = true;
    }

    std::string fileBytes() const {
        std::ifstream in(state.paths.clientFile, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir;
    AppState state;
    Services services;
    FakeMessageService messages;
    FakeLauncher launcher{state};
    FakeSecretCode secret;
    AudioLog audio;
};

// Shows a form and makes it the active window, so focus changes reach its controls.
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
template <typename T> void whenModal(std::function<void(T*)> f, int timeoutMs = 10000) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, f, timeoutMs] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr && clock->elapsed() < timeoutMs) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (dialog == nullptr) {
            ADD_FAILURE() << "the dialog never came up";
            return;
        }
        f(dialog);
    });
    timer->start(10);
}

} // namespace orvj::test
