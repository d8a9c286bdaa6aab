#pragma once

#include "core/AppState.h"
#include "scoring/ReportJobs.h"
#include "session/AudioPlayer.h"
#include "store/Clock.h"
#include "store/OrvjError.h"
#include "tests/support/FakeMessageService.h"
#include "tests/support/Files.h"
#include "ui/FormLauncher.h"
#include "ui/SecretCodePrompt.h"
#include "ui/Services.h"

#include <QFileInfo>
#include <QStringList>

#include <vector>

namespace orvj::test {

// Refuses `cancels` times, then gives the right code.
class FakeSecretCode : public SecretCodePrompt {
public:
    bool AskSecretCode(QWidget*) override { return ++asked > cancels; }
    int asked = 0;
    int cancels = 0;
};

// Composing writes a line naming the client and the report option into REPORT.PRN in `home`;
// printing records the text printed. The report lock is the real one of `home`.
class FakeReportJobs : public ReportJobs {
public:
    static std::string reportOf(int client, ReportOption option) {
        return "report of client " + std::to_string(client) + ", option " +
               std::to_string(static_cast<int>(option));
    }
    ReportFolderLock lockReportFolder() override { return ReportFolderLock(home, lockWait); }
    void compose(const ClientTable&, int client, ReportOption option) override {
        composed.push_back(client);
        if (client == failComposeOf) {
            throw OrvjError(ErrorCode::FileNotFound, "ORVJB.TXT: the scoring table is missing");
        }
        writeFile(home / "REPORT.PRN", reportOf(client, option));
    }
    std::string readReportText() override {
        return readBack.empty() ? readFile(home / "REPORT.PRN") : readBack;
    }
    void printReportFile() override { printReportText(readFile(home / "REPORT.PRN")); }
    void printReportText(const std::string& text) override {
        if (static_cast<int>(printed.size()) == failPrintAt) {
            throw OrvjError(ErrorCode::DeviceIO, "the default printer is not ready");
        }
        if (onPrint) {
            onPrint();
        }
        printed.push_back(text);
    }
    // The "PDF" holds the report text, so a test can tell which report went where.
    void saveReportPdf(const fs::path& pdfFile) override {
        saveReportTextPdf(readFile(home / "REPORT.PRN"), pdfFile);
    }
    void saveReportTextPdf(const std::string& text, const fs::path& pdfFile) override {
        if (onSavePdf) {
            onSavePdf();
        }
        if (failSavePdf) {
            throw OrvjError(ErrorCode::PermissionDenied, pdfFile.string() + ": permission denied");
        }
        writeFile(pdfFile, text);
        savedPdfs.push_back(pdfFile);
    }

    std::vector<int> composed;
    std::vector<std::string> printed;
    std::vector<fs::path> savedPdfs;
    std::function<void()> onSavePdf;
    bool failSavePdf = false;
    std::string readBack;  // what the viewer reads, when not REPORT.PRN as composed
    int failComposeOf = 0; // the client whose report cannot be composed
    int failPrintAt = -1;  // index of the print call that fails
    std::function<void()> onPrint;
    fs::path home;
    std::chrono::milliseconds lockWait{0};
};

// What the fake audio players of one test did.
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
    QString text = QStringLiteral("The wave device is busy");

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
        calls << QStringLiteral("clientInfo");
        m_state.dialogConfirmed = confirmClientInfo;
        if (confirmClientInfo) {
            m_state.clients.currentClient =
                static_cast<std::int16_t>(m_state.clients.clientCount + 1);
            m_state.clients.current().set(ClientRecord::Field::Name, "New Client");
        }
    }
    void showNewEntry(QWidget*) override { calls << QStringLiteral("newEntry"); }
    void showSelectEntryMethod(QWidget*) override { calls << QStringLiteral("selectEntryMethod"); }
    void showSupervisorOptions(QWidget*) override { calls << QStringLiteral("supervisorOptions"); }
    void showInstallVoiceFiles(QWidget*) override { calls << QStringLiteral("installVoiceFiles"); }
    void showInstallInventory(QWidget*) override { calls << QStringLiteral("installInventory"); }
    void showDataFolder(QWidget*) override { calls << QStringLiteral("dataFolder"); }
    void showChangeSecretCode(QWidget*) override { calls << QStringLiteral("changeSecretCode"); }
    void showAuditTrail(QWidget*) override { calls << QStringLiteral("auditTrail"); }
    void showRestoreBackup(QWidget*) override { calls << QStringLiteral("restoreBackup"); }
    void showStatistics(QWidget*) override { calls << QStringLiteral("statistics"); }
    void showCompare(QWidget*) override { calls << QStringLiteral("compare"); }

    QStringList calls;
    bool confirmClientInfo = true;

private:
    AppState& m_state;
};

// Every seam of the program as a fake, wired into a complete Services bundle. A test that
// drives a seam its own way puts its fake into `services` in place of this one.
struct FakeServices {
    explicit FakeServices(AppState& state) : launcher(state) {
        services = {&messages, &clock,
                    &reports,  &secretCode,
                    &launcher, [this] { return std::make_unique<FakeAudioPlayer>(audio); }};
        reports.home = state.paths.home;
    }
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    FakeMessageService messages;
    FixedClock clock{Date{2025, 3, 14}};
    FakeReportJobs reports;
    FakeSecretCode secretCode;
    FakeLauncher launcher;
    AudioLog audio;
    Services services;
};

} // namespace orvj::test
