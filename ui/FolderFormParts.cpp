#include "ui/FolderFormParts.h"

#include "ui/FormConventions.h"
#include "ui/MessageService.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvj::FolderFormParts {

FolderRow addFolderRow(QWidget* frame, QFormLayout* form, const QString& caption,
                       const QString& fieldName) {
    FolderRow row;
    auto* layout = new QHBoxLayout;
    row.field = new QLineEdit(frame);
    row.field->setObjectName(fieldName);
    row.field->setMinimumWidth(twipsToPixels(5000));
    row.browse = new QPushButton(QStringLiteral("&Browse..."), frame);
    row.browse->setObjectName(QStringLiteral("cmdBrowse"));
    row.browse->setAutoDefault(false);
    layout->addWidget(row.field, 1);
    layout->addWidget(row.browse);
    auto* label = new QLabel(caption, frame);
    label->setBuddy(row.field);
    row.field->setAccessibleName(plainCaption(label->text()).chopped(1));
    row.browse->setAccessibleName(plainCaption(row.browse->text()));
    form->addRow(label, layout);
    return row;
}

FolderRow addSourceFolderRow(QWidget* frame, QFormLayout* form) {
    return addFolderRow(frame, form, QStringLiteral("Copy &from:"),
                        QStringLiteral("txtSourceFolder"));
}

QProgressBar* addProgressRow(QWidget* frame, QFormLayout* form, const QString& objectName) {
    auto* bar = new QProgressBar(frame);
    bar->setObjectName(objectName);
    bar->setRange(0, 1);
    bar->setValue(0);
    form->addRow(QStringLiteral("Progress:"), bar);
    return bar;
}

MenuChoices* addInstallMenu(QDialog* form, QVBoxLayout* outer, const QString& installHelp,
                            QLabel*& msgPanel) {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeMenuChoice(form, kInstall, QStringLiteral("&Install")));
    buttons->addWidget(makeMenuChoice(form, kClose, QStringLiteral("&Close")));
    outer->addLayout(buttons);
    msgPanel = makeMsgPanel(form);
    outer->addWidget(msgPanel);

    auto* choices = new MenuChoices(form, msgPanel, true);
    choices->add(kInstall, installHelp);
    choices->add(kClose, QStringLiteral("Close this window and return to Main Menu."));
    return choices;
}

QString chosenSource(QWidget* form, QLineEdit* field, MessageService& messages,
                     const QString& filesName) {
    const QString source = field->text().trimmed();
    if (source.isEmpty()) {
        messages.show(
            form, appTitle(),
            QStringLiteral("Choose the folder that holds the %1 first (Browse...).").arg(filesName),
            MessageService::Icon::Critical, MessageService::Buttons::Ok);
        field->setFocus();
    }
    return source;
}

void setInstallMenuEnabled(QWidget* form, bool on) {
    menuButton(form, kInstall)->setEnabled(on);
    menuButton(form, kClose)->setEnabled(on);
}

void browseInto(QWidget* parent, QLineEdit* field, const FolderPicker& pick) {
    const QString folder = pick(parent, field->text());
    if (!folder.isEmpty()) {
        field->setText(folder);
    }
}

} // namespace orvj::FolderFormParts
