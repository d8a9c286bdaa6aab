#pragma once

#include <QString>

#include <functional>

class QFormLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace orvj {

// The piece the folder windows share (data folder, inventory files, voice files): a folder
// row with its Browse button. The installers' window is InstallerDialog.
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
// Asks `pick` for a folder, starting at the field's text; a chosen folder replaces the text.
void browseInto(QWidget* parent, QLineEdit* field, const FolderPicker& pick);

} // namespace FolderFormParts
} // namespace orvj
