#pragma once

#include "ui/FolderFormParts.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// "Install &Inventory Files...": puts the publisher's inventory files of a folder the
// supervisor picks into the program folder, after checking every one of them.
class frmInstallInventory : public QDialog {
    Q_OBJECT
public:
    static constexpr int kInstall = FolderFormParts::kInstall;
    static constexpr int kClose = FolderFormParts::kClose;

    frmInstallInventory(AppState& state, Services& services, QWidget* parent = nullptr);

    // Asks for the folder of the files; the default opens the system's folder dialog.
    void setFolderPicker(FolderFormParts::FolderPicker picker) { m_pickFolder = std::move(picker); }
    // The backup folder's date; the default is the time now.
    void setStamp(std::function<std::string()> stamp) { m_stamp = std::move(stamp); }

    void choose(int index);

private:
    void browse();
    void install();

    AppState& m_state;
    Services& m_services;
    FolderFormParts::FolderPicker m_pickFolder;
    std::function<std::string()> m_stamp;
    QLineEdit* m_txtSourceFolder = nullptr;
    QPushButton* m_cmdBrowse = nullptr;
    QProgressBar* m_prgInstall = nullptr;
    QLabel* m_msgPanel = nullptr;
    MenuChoices* m_choices = nullptr;
};

} // namespace orvj
