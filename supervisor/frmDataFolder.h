#pragma once

#include "store/ClientFile.h"
#include "ui/FolderFormParts.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// "&Data Folder...": shows the data folder and its number of clients, and makes another
// folder (an existing one, or a new empty one) the data folder.
class frmDataFolder : public QDialog {
    Q_OBJECT
public:
    static constexpr int kUseFolder = 0;
    static constexpr int kNewFolder = 1;
    static constexpr int kClose = 2;

    frmDataFolder(AppState& state, Services& services, QWidget* parent = nullptr);

    void setFolderPicker(FolderFormParts::FolderPicker picker) { m_pickFolder = std::move(picker); }

    void choose(int index);

    // True once another folder became the data folder: the client list is to be rebuilt.
    bool changed() const { return m_changed; }
    // What loading the new folder's client file found (too many records, a bad length).
    const ClientFile::LoadReport& loadReport() const { return m_report; }

private:
    void browse();
    void switchFolder(bool makeNew);
    void showCurrent();

    AppState& m_state;
    Services& m_services;
    FolderFormParts::FolderPicker m_pickFolder;
    bool m_changed = false;
    ClientFile::LoadReport m_report;
    QLabel* m_lblDataFolder = nullptr;
    QLabel* m_lblClientCount = nullptr;
    QLineEdit* m_txtDataFolder = nullptr;
    QPushButton* m_cmdBrowse = nullptr;
    QLabel* m_msgPanel = nullptr;
    MenuChoices* m_choices = nullptr;
};

} // namespace orvj
