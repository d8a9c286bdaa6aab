#include "ui/FolderFormParts.h"

#include "ui/FormConventions.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

MenuChoices* addMenuRow(QWidget* form, QVBoxLayout* outer, const QList<MenuChoice>& choices,
                        QLabel*& msgPanel) {
    auto* buttons = new QHBoxLayout;
    for (const MenuChoice& c : choices) {
        buttons->addWidget(makeMenuChoice(form, c.index, c.caption));
    }
    outer->addLayout(buttons);
    msgPanel = makeMsgPanel(form);
    outer->addWidget(msgPanel);

    auto* menu = new MenuChoices(form, msgPanel, true);
    for (const MenuChoice& c : choices) {
        menu->add(c.index, c.helpLine);
    }
    return menu;
}

void browseInto(QWidget* parent, QLineEdit* field, const FolderPicker& pick) {
    const QString folder = pick(parent, field->text());
    if (!folder.isEmpty()) {
        field->setText(folder);
    }
}

} // namespace orvj::FolderFormParts
