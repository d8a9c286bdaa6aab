#pragma once

#include <QString>

#include <functional>

class QDialog;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace orvj {

class MenuChoices;
class MessageService;

// The pieces the folder windows share (data folder, inventory files, voice files): a folder
// row with its Browse button; and for the two installers a progress row and the Install /
// Close menu.
namespace FolderFormParts {

using FolderPicker = std::function<QString(QWidget*, const QString&)>;

// The menu choices of an installer window.
constexpr int kInstall = 0;
constexpr int kClose = 1;

struct FolderRow {
    QLineEdit* field = nullptr;
    QPushButton* browse = nullptr;
};

// Adds a row of a folder field named `fieldName` and a "&Browse..." button, labelled
// `caption` (ending in ':'); screen readers name the field by its label and the button by its
// caption.
FolderRow addFolderRow(QWidget* frame, QFormLayout* form, const QString& caption,
                       const QString& fieldName);
// The installers' "Copy &from:" row, field "txtSourceFolder".
FolderRow addSourceFolderRow(QWidget* frame, QFormLayout* form);

// Adds the "Progress:" row, empty.
QProgressBar* addProgressRow(QWidget* frame, QFormLayout* form, const QString& objectName);

// Menu choice kInstall is "&Install" with `installHelp`, kClose is "&Close"; the help panel
// goes below them and is returned through `msgPanel`.
MenuChoices* addInstallMenu(QDialog* form, QVBoxLayout* outer, const QString& installHelp,
                            QLabel*& msgPanel);

// The installer's source folder as typed (trimmed). When none is typed, a box asks to choose
// the folder that holds `filesName` first, the field takes the focus, and the result is empty.
QString chosenSource(QWidget* form, QLineEdit* field, MessageService& messages,
                     const QString& filesName);

// Install and Close are off while an installer works, so that nothing is started twice.
void setInstallMenuEnabled(QWidget* form, bool on);

// Asks `pick` for a folder, starting at the field's text; a chosen folder replaces the text.
void browseInto(QWidget* parent, QLineEdit* field, const FolderPicker& pick);

} // namespace FolderFormParts
} // namespace orvj
