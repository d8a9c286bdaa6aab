#pragma once

#include "store/ClientFile.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace orvj {

struct AppState;
struct Services;
class frmAbout;
class frmMainMenu;
class SingleInstance;

struct StartupOptions {
    // The single-instance key; empty: the key of the program folder.
    QString instanceKey;
    // Length of one run of the splash's fade.
    int fadeRunMs = 1000;
    // Reads the client file into the table; empty: the client file of the data folder.
    std::function<ClientFile::LoadReport(AppState&)> loadClients;
};

// The program's start: one instance, configuration, splash while the client file loads,
// then the main menu. From the data location on, every fault goes to the start-up error
// handler, which offers to retry the step or ends the program.
class StartupSequence {
public:
    enum class Outcome {
        Started,       // the main menu is shown and idle
        OtherInstance, // another instance was brought to the front; this one ends
        Ended,         // the supervisor cancelled, or an error ended the start
    };

    StartupSequence(AppState& state, Services& services, frmMainMenu& mainMenu,
                    StartupOptions options = {});
    ~StartupSequence();

    Outcome Run();

    // Held for the whole run: it answers later starts of the program.
    SingleInstance* instance() const { return m_instance.get(); }

    // The configured paths: data folder, client file, question bank, sound base.
    static void FillPaths(AppState& state, const std::filesystem::path& home);
    static ClientFile::LoadReport LoadClientFile(AppState& state);

    // The text of the notice shown once after loading, empty when there is nothing to say.
    static QString LoadNotice(const AppState& state, const ClientFile::LoadReport& report);

private:
    enum class Handling { Retry, End };
    // Runs a step until it succeeds or the error handler ends the start.
    bool Guarded(const std::function<void()>& step);
    Handling HandleError(int code, const QString& description);
    void Unload();
    QWidget* boxParent() const;

    AppState& m_state;
    Services& m_services;
    frmMainMenu& m_mainMenu;
    StartupOptions m_options;
    std::unique_ptr<SingleInstance> m_instance;
    frmAbout* m_splash = nullptr;
};

} // namespace orvj
