#pragma once

#include <QList>
#include <QString>

#include <functional>

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace orvj {

class MenuChoices;

// The pieces the folder windows share (data folder, inventory files, voice files): a folder
// row with its Browse button, and the row of menu choices with the help panel below. The
// installers' window is InstallerDialog.
namespace FolderFormParts {

using FolderPicker = std::function<QString(QWidget*, const QString&)>;

struct FolderRow {
    QLineEdit* field = nullptr;
    QPushButton* browse = nullptr;
};

// Adds a row of a folder field named `fieldName` and a "&Browse..." button, labelled
// `caption` (ending in ':'); screen readers name the field by its label and the button by its
// caption.
FolderRow addFolderRow(QWidget* frame, QFormLayout* form, const QString& caption,
                       const QString& fieldName);
struct MenuChoice {
    int index;
    QString caption;
    QString helpLine;
};

// Adds the menu choices in a row, then the help panel below them (returned through
// `msgPanel`); the highlight goes as a choice loses the focus.
MenuChoices* addMenuRow(QWidget* form, QVBoxLayout* outer, const QList<MenuChoice>& choices,
                        QLabel*& msgPanel);
// The help line of a folder window's "&Close".
inline QString closeHelpLine() {
    return QStringLiteral("Close this window and return to Main Menu.");
}

// Asks `pick` for a folder, starting at the field's text; a chosen folder replaces the text.
void browseInto(QWidget* parent, QLineEdit* field, const FolderPicker& pick);

} // namespace FolderFormParts
} // namespace orvj
