#include "ui/MessageService.h"

#include <QApplication>
#include <QMessageBox>

namespace orvj {

MessageService::Answer QtMessageService::show(QWidget* parent, const QString& title,
                                              const QString& text, Icon icon, Buttons buttons) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // Texts carry file names, client names and what other PCs wrote into the lock file: tags
    // in them are shown as typed, never followed (an image or link from a shared folder).
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case Buttons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Closing an OK/Cancel or Yes/No box without a button counts as the cautious answer.
        if (buttons == Buttons::OkCancel) {
            return box.clickedButton() == nullptr ? Answer::Cancel : Answer::Ok;
        }
        if (buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo) {
            return Answer::No;
        }
        return Answer::Ok;
    }
}

void QtMessageService::beep() {
    QApplication::beep();
}

} // namespace orvj
