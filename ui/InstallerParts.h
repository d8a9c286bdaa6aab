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

// The pieces the two installer windows (inventory files, voice files) share: a "Copy from:"
// folder row with its Browse button, a progress row, and the Install / Close menu.
namespace InstallerParts {

using FolderPicker = std::function<QString(QWidget*, const QString&)>;

// The menu choices of an installer window.
constexpr int kInstall = 0;
constexpr int kClose = 1;

struct SourceFolderRow {
    QLineEdit* field = nullptr;
    QPushButton* browse = nullptr;
};

// Adds the "Copy &from:" row; screen readers name the field by its label and the button by
// its caption.
SourceFolderRow addSourceFolderRow(QWidget* frame, QFormLayout* form);

// Adds the "Progress:" row, empty.
QProgressBar* addProgressRow(QWidget* frame, QFormLayout* form, const QString& objectName);

// Menu choice kInstall is "&Install" with `installHelp`, kClose is "&Close"; the help panel
// goes below them and is returned through `msgPanel`.
MenuChoices* addInstallMenu(QDialog* form, QVBoxLayout* outer, const QString& installHelp,
                            QLabel*& msgPanel);

// Asks `pick` for a folder, starting at the field's text; a chosen folder replaces the text.
void browseInto(QWidget* parent, QLineEdit* field, const FolderPicker& pick);

} // namespace InstallerParts
} // namespace orvj
