#include "ui/frmMyInputBox.h"

#include "ui/FormConventions.h"
#include "ui/MessageService.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orvj {

frmMyInputBox::frmMyInputBox(MessageService& messages, QWidget* parent)
    : QDialog(parent), m_messages(messages) {
    setObjectName(QStringLiteral("frmMyInputBox"));
    setWindowTitle(QStringLiteral("MyInputBox"));
    setModal(true);

    lblHelpMsg = new QLabel(this);
    lblHelpMsg->setObjectName(QStringLiteral("lblHelpMsg"));
    lblHelpMsg->setWordWrap(true);
    lblHelpMsg->setMinimumWidth(twipsToPixels(5000));
    txtInput = new QLineEdit(this);
    txtInput->setObjectName(QStringLiteral("txtInput"));
    txtInput->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeMenuChoice(this, 0, QStringLiteral("Information OK")));
    buttons->addWidget(makeMenuChoice(this, 1, QStringLiteral("Cancel Input")));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHelpMsg);
    layout->addWidget(txtInput);
    layout->addLayout(buttons);

    m_choices = new MenuChoices(this, nullptr, true);
    m_choices->add(0, QString());
    m_choices->add(1, QString());
    connect(m_choices, &MenuChoices::chosen, this, &frmMyInputBox::choose);
    setTabOrder(txtInput, menuButton(this, 0));
    setTabOrder(menuButton(this, 0), menuButton(this, 1));
}

void frmMyInputBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        activate();
    }
}

void frmMyInputBox::activate() {
    txtInput->setMaxLength(m_inputLength);
    lblHelpMsg->setText(m_helpMessage);
    txtInput->setEchoMode(m_passwordInput ? QLineEdit::Password : QLineEdit::Normal);
    // The prompt is known only now: the box grows to show it whole, then is centred.
    adjustSize();
    CenterForm(this);
    ClearHighlights(this, 1);
    txtInput->setFocus();
}

bool frmMyInputBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtInput && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            menuButton(this, 0)->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMyInputBox::choose(int index) {
    if (index == 1) {
        reject();
        return;
    }
    if (txtInput->text().isEmpty()) {
        m_messages.show(this, QStringLiteral("Input required"),
                        m_passwordInput ? QStringLiteral("Please enter the required password.")
                                        : QStringLiteral("Please enter the required data."),
                        MessageService::Icon::Question);
        txtInput->setFocus();
        return;
    }
    m_inputValue = txtInput->text();
    accept();
}

void frmMyInputBox::reject() {
    m_cancelled = true;
    QDialog::reject();
}

} // namespace orvj
