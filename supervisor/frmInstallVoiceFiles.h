#pragma once

#include "ui/FolderFormParts.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// "&Install Voice Files...": copies the wave files of a folder the supervisor picks into the
// sound folder of a language.
class frmInstallVoiceFiles : public QDialog {
    Q_OBJECT
public:
    static constexpr int kInstall = FolderFormParts::kInstall;
    static constexpr int kClose = FolderFormParts::kClose;

    frmInstallVoiceFiles(AppState& state, Services& services, QWidget* parent = nullptr);

    // Asks for the folder of recordings; the default opens the system's folder dialog.
    void setFolderPicker(FolderFormParts::FolderPicker picker) { m_pickFolder = std::move(picker); }

    void choose(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void browse();
    void install();
    void showTarget();
    QString targetFolder() const;

    AppState& m_state;
    Services& m_services;
    FolderFormParts::FolderPicker m_pickFolder;
    QComboBox* m_cmbLanguage = nullptr;
    QLineEdit* m_txtSourceFolder = nullptr;
    QPushButton* m_cmdBrowse = nullptr;
    QLabel* m_lblTarget = nullptr;
    QProgressBar* m_prgCopy = nullptr;
    QLabel* m_msgPanel = nullptr;
    QPalette m_fieldPalette; // a field's colours without the focus
    MenuChoices* m_choices = nullptr;
};

} // namespace orvj
