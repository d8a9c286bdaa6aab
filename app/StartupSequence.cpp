#include "app/StartupSequence.h"

#include "app/SingleInstance.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "core/AppState.h"
#include "store/Backups.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/Services.h"

#include <QApplication>
#include <QtGlobal>

#include <new>
#include <optional>

namespace orvj {
namespace {

const char* const kQuestionBankName = "ORVj32.db";

bool isDataDiskFault(int code) {
    switch (code) {
    case ErrorCode::DbBadPath:
    case ErrorCode::DbCannotOpen:
    case ErrorCode::DbFileNotFound:
    case ErrorCode::DeviceIO:
    case ErrorCode::FileNotFound:
    case ErrorCode::BadFileName:
    case ErrorCode::DiskNotReady:
    case ErrorCode::PathNotFound: // a missing data folder is the missing diskette of today
        return true;
    default:
        return false;
    }
}

} // namespace

StartupSequence::StartupSequence(AppState& state, Services& services, frmMainMenu& mainMenu,
                                 StartupOptions options)
    : m_state(state), m_services(services), m_mainMenu(mainMenu), m_options(std::move(options)) {
    if (!m_options.loadClients) {
        m_options.loadClients = &StartupSequence::LoadClientFile;
    }
}

StartupSequence::~StartupSequence() {
    delete m_splash;
}

void StartupSequence::FillPaths(AppState& state, const std::filesystem::path& home) {
    ConfigFile config(home / ConfigFile::kFileName);
    state.paths.home = home;
    state.paths.configFile = config.path();
    const std::string filePath = config.GetINIFilePath();
    const std::string sndPath = config.GetINISndPath();
    state.paths.dataFolder = resolveConfiguredFolder(home, filePath);
    state.paths.soundBase = resolveConfiguredFolder(home, sndPath);
    state.paths.clientFile = state.paths.dataFolder.empty()
                                 ? std::filesystem::path()
                                 : state.paths.dataFolder / ClientFile::kFileName;
    state.paths.questionBank = home / kQuestionBankName;
    Backups::setOptions(Backups::optionsFrom(config, home));
}

ClientFile::LoadReport StartupSequence::LoadClientFile(AppState& state) {
    if (state.paths.dataFolder.empty()) {
        const std::string filePath = ConfigFile(state.paths.configFile).GetINIFilePath();
        throw OrvjError(ErrorCode::PathNotFound,
                        "FilePath \"" + filePath + "\" in " + state.paths.configFile.string() +
                            " names a drive letter, and this system has none: set FilePath to "
                            "the data folder");
    }
    return ClientFile(state.paths.clientFile).load(state.clients);
}

QString StartupSequence::LoadNotice(const AppState& state, const ClientFile::LoadReport& report) {
    const QString file = pathToQString(state.paths.clientFile);
    QStringList parts;
    if (report.overflow) {
        parts << QStringLiteral("The client file %1 holds %2 clients, more than the %3 this "
                                "program can show. The first %3 clients are listed; the others "
                                "stay in the file untouched. Use a new data folder for further "
                                "clients.")
                     .arg(file)
                     .arg(report.recordsInFile)
                     .arg(ClientTable::kMaxClients);
    }
    if (report.partialLastRecord) {
        parts << QStringLiteral("The client file %1 is not a whole number of client records "
                                "long: its last record is incomplete. Nothing in the file was "
                                "changed.")
                     .arg(file);
    }
    if (!report.fieldProblems.empty()) {
        QString lines;
        const std::size_t shown = std::min<std::size_t>(report.fieldProblems.size(), 15);
        for (std::size_t i = 0; i < shown; ++i) {
            lines += QStringLiteral("\n") + QString::fromStdString(report.fieldProblems[i]);
        }
        if (report.fieldProblems.size() > shown) {
            lines += QStringLiteral("\n... and %1 more.").arg(report.fieldProblems.size() - shown);
        }
        parts << QStringLiteral("Some client records hold a character that is not a digit where "
                                "a one-digit code belongs. They are shown as they are, and "
                                "nothing in the file was changed:") +
                     lines;
    }
    return parts.join(QStringLiteral("\n\n"));
}

QWidget* StartupSequence::boxParent() const {
    if (m_splash != nullptr && m_splash->isVisible()) {
        return m_splash;
    }
    return &m_mainMenu;
}

StartupSequence::Handling StartupSequence::HandleError(int code, const QString& description) {
    qWarning("ORV-Juvenile start-up: error %d: %s", code, qPrintable(description));
    // The hourglass would hide the pointer over the box.
    MOUSEDEFAULT();
    MessageService& messages = *m_services.messages;
    Handling result = Handling::End;
    if (isDataDiskFault(code) || code == ErrorCode::PermissionDenied) {
        const QString text =
            code == ErrorCode::PermissionDenied
                ? QStringLiteral("Data disk write protected!\n\nSet the data disk to writable "
                                 "and replace in drive.")
                : QStringLiteral("Data diskette not found!\n\nInsert data diskette in drive A "
                                 "to continue.");
        const auto answer =
            messages.show(boxParent(), QStringLiteral("Data Disk Error"), text,
                          MessageService::Icon::Critical, MessageService::Buttons::OkCancel);
        result = answer == MessageService::Answer::Ok ? Handling::Retry : Handling::End;
    } else {
        messages.show(boxParent(), appTitle(),
                      QStringLiteral("Error %1:%2").arg(code).arg(description),
                      MessageService::Icon::None, MessageService::Buttons::Ok);
    }
    if (result == Handling::Retry) {
        MOUSEWAIT();
    }
    return result;
}

bool StartupSequence::Guarded(const std::function<void()>& step) {
    for (;;) {
        int code = 0;
        QString description;
        try {
            step();
            return true;
        } catch (const OrvjError& e) {
            code = e.code();
            description = errorText(e);
        } catch (const std::bad_alloc&) {
            code = 7;
            description = QStringLiteral("Out of memory");
        } catch (const std::exception& e) {
            code = 51;
            description = errorText(e);
        }
        if (HandleError(code, description) == Handling::End) {
            Unload();
            return false;
        }
    }
}

void StartupSequence::Unload() {
    if (m_splash != nullptr) {
        m_splash->close();
        delete m_splash;
        m_splash = nullptr;
    }
    m_mainMenu.close();
    MOUSEDEFAULT();
}

StartupSequence::Outcome StartupSequence::Run() {
    // The pointer shows the wait until the main menu is up.
    std::optional<WaitCursor> wait(std::in_place);

    // A second start on the same program folder brings the running window forward and ends.
    const std::filesystem::path home = m_state.paths.home;
    const QString key =
        m_options.instanceKey.isEmpty() ? SingleInstance::keyFor(home) : m_options.instanceKey;
    m_instance = std::make_unique<SingleInstance>(key);
    const SingleInstance::Result claimed = m_instance->claim();
    if (claimed == SingleInstance::Result::OtherActivated ||
        claimed == SingleInstance::Result::OtherUnreachable) {
        m_instance.reset();
        return Outcome::OtherInstance;
    }
    QObject::connect(m_instance.get(), &SingleInstance::activationRequested, &m_mainMenu,
                     &frmMainMenu::RestoreToFront);

    // Record the workgroup file in the configuration. The setting means nothing to the question
    // bank's engine, but the offices' tools look for it; a configuration file that cannot be
    // written is no reason to stop.
    ConfigFile config(home / ConfigFile::kFileName);
    try {
        config.WriteSystemDB(home);
    } catch (const OrvjError& e) {
        qWarning("ORV-Juvenile start-up: %s", e.what());
    }

    // Find the data folder, the sound folder, the client file and the question bank. The
    // demographic labels and the section boundaries are constant tables and need no filling.
    FillPaths(m_state, home);

    // Show the about box as a splash over the hidden main window until its fade ends.
    m_mainMenu.hide();
    m_splash = new frmAbout(m_state, m_services);
    m_splash->setSplash(true);
    m_splash->setFadeRunMs(m_options.fadeRunMs);
    m_splash->show();
    m_splash->WaitForFade();

    // Load the whole client file into the client table.
    ClientFile::LoadReport report;
    if (!Guarded([&] { report = m_options.loadClients(m_state); })) {
        return Outcome::Ended;
    }

    // Replace the splash by the main window, centred.
    m_splash->CloseSplash();
    delete m_splash;
    m_splash = nullptr;
    m_mainMenu.show();
    CenterForm(&m_mainMenu);

    // Centre the menu, fill the client list and set the buttons.
    m_mainMenu.Activation();

    // Show the Num Lock option as the menu item's check mark.
    m_mainMenu.setNumLockOption(config.ReadNumLock());

    // Have the next activation rebuild the list and close every other open form.
    m_state.testStored = true;
    m_mainMenu.setCloseOthers(true);

    // Back to the normal pointer.
    wait.reset();

    // The window's first activation, with the list filled.
    m_mainMenu.Activation();
    m_mainMenu.activateWindow();

    const QString notice = LoadNotice(m_state, report);
    if (!notice.isEmpty()) {
        m_services.messages->show(&m_mainMenu, appTitle(), notice,
                                  MessageService::Icon::Information, MessageService::Buttons::Ok);
    }
    return Outcome::Started;
}

} // namespace orvj
