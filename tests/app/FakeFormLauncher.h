#pragma once

#include "app/AppState.h"
#include "ui/FormLauncher.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

namespace orvj::test {

// Records which work-path form was opened, with the run-time flags as they stood at that
// moment, and runs a scripted stand-in for the form.
class FakeFormLauncher : public FormLauncher {
public:
    struct Call {
        QString form;
        bool editMode;
        bool scanEditMode;
        bool testStored;
        bool dialogConfirmed;
        std::int16_t workingEditCount;
        bool menuFrameVisible;
    };

    explicit FakeFormLauncher(AppState& state) : m_state(state) {}

    void showClientInfo(QWidget* parent) override { run(QStringLiteral("frmClientInfo"), parent); }
    void showNewEntry(QWidget* parent) override { run(QStringLiteral("frmNewEntry"), parent); }
    void showSelectEntryMethod(QWidget* parent) override {
        run(QStringLiteral("frmSelectEntryMethod"), parent);
    }
    void showSupervisorOptions(QWidget* parent) override {
        run(QStringLiteral("frmSupervisorOptions"), parent);
    }
    void showInstallVoiceFiles(QWidget* parent) override {
        run(QStringLiteral("InstallVoiceFiles"), parent);
    }

    // What the stand-in form does while it is "open".
    std::map<QString, std::function<void(QWidget*)>> actions;
    QList<Call> calls;

    QStringList forms() const {
        QStringList names;
        for (const Call& c : calls) {
            names << c.form;
        }
        return names;
    }

private:
    void run(const QString& form, QWidget* parent);

    AppState& m_state;
};

} // namespace orvj::test
