#include "ui/frmMyInputBox.h"

#include "ui/FormConventions.h"
#include "ui/MessageService.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>

namespace orvj {

frmMyInputBox::frmMyInputBox(MessageService& messages, QWidget* parent)
    : QDialog(parent), m_messages(messages) {
    setObjectName(QStringLiteral("frmMyInputBox"));
    setWindowTitle(QStringLiteral("MyInputBox"));
    setModal(true);

    m_lblHelpMsg = new QLabel(this);
    m_lblHelpMsg->setObjectName(QStringLiteral("lblHelpMsg"));
    m_lblHelpMsg->setTextFormat(Qt::PlainText);
    m_lblHelpMsg->setWordWrap(true);
    m_lblHelpMsg->setMinimumWidth(twipsToPixels(5000));
    m_txtInput = new QLineEdit(this);
    m_txtInput->setObjectName(QStringLiteral("txtInput"));
    useAsteriskMask(m_txtInput);
    m_txtInput->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeMenuChoice(this, 0, QStringLiteral("Information OK")));
    buttons->addWidget(makeMenuChoice(this, 1, QStringLiteral("Cancel Input")));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblHelpMsg);
    layout->addWidget(m_txtInput);
    layout->addLayout(buttons);

    m_choices = new MenuChoices(this, nullptr, true);
    m_choices->add(0, QString());
    m_choices->add(1, QString());
    connect(m_choices, &MenuChoices::chosen, this, &frmMyInputBox::choose);
    setTabOrder(m_txtInput, menuButton(this, 0));
    setTabOrder(menuButton(this, 0), menuButton(this, 1));
}

void frmMyInputBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        activate();
    }
}

void frmMyInputBox::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous()) {
        return;
    }
    for (const auto& [panel, line] : std::as_const(m_ownerHelp)) {
        // The owner may have shown a newer line meanwhile: that one stays.
        if (panel != nullptr && panel->text().isEmpty()) {
            panel->setText(line);
        }
    }
    m_ownerHelp.clear();
}

void frmMyInputBox::activate() {
    // The owner's help line belongs to a control that no longer has the focus; this box's
    // prompt is the help now.
    if (m_ownerHelp.isEmpty()) {
        for (QLabel* panel : msgPanelsOf(parentWidget())) {
            m_ownerHelp.append({panel, panel->text()});
            panel->clear();
        }
    }
    m_txtInput->setMaxLength(m_inputLength);
    m_lblHelpMsg->setText(m_helpMessage);
    m_txtInput->setAccessibleName(windowTitle());
    m_txtInput->setAccessibleDescription(m_helpMessage);
    m_txtInput->setEchoMode(m_passwordInput ? QLineEdit::Password : QLineEdit::Normal);
    // The prompt is known only now: the box grows to show it whole, then is centred.
    adjustSize();
    CenterForm(this);
    ClearHighlights(this, 1);
    m_txtInput->setFocus();
}

bool frmMyInputBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtInput && event->type() == QEvent::KeyPress) {
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
    if (m_txtInput->text().isEmpty()) {
        m_messages.show(this, QStringLiteral("Input required"),
                        m_passwordInput ? QStringLiteral("Please enter the required password.")
                                        : QStringLiteral("Please enter the required data."),
                        MessageService::Icon::Question);
        m_txtInput->setFocus();
        return;
    }
    m_inputValue = m_txtInput->text();
    accept();
}

void frmMyInputBox::reject() {
    m_cancelled = true;
    QDialog::reject();
}

} // namespace orvj
