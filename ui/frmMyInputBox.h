#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>

#include <utility>

class QLabel;
class QLineEdit;

namespace orvj {

class MenuChoices;
class MessageService;

// A one-line input dialog configured through its properties before it is shown; the
// result is read from InputValue and Cancelled after it has closed.
class frmMyInputBox : public QDialog {
    Q_OBJECT
public:
    explicit frmMyInputBox(MessageService& messages, QWidget* parent = nullptr);

    bool PasswordInput() const { return m_passwordInput; }
    void setPasswordInput(bool on) { m_passwordInput = on; }
    int InputLength() const { return m_inputLength; }
    void setInputLength(int length) { m_inputLength = length; }
    QString HelpMessage() const { return m_helpMessage; }
    void setHelpMessage(const QString& text) { m_helpMessage = text; }
    QString InputValue() const { return m_inputValue; }
    bool Cancelled() const { return m_cancelled; }

public slots:
    // Closing the box any other way than "Information OK" counts as "Cancel Input".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activate();
    void choose(int index);

    MessageService& m_messages;
    QLabel* m_lblHelpMsg;
    QLineEdit* m_txtInput;
    MenuChoices* m_choices;

    bool m_passwordInput = false;
    int m_inputLength = 255;
    QString m_helpMessage;
    QString m_inputValue;
    bool m_cancelled = false;
    // The owner's help lines, put aside while the box has the focus.
    QList<std::pair<QPointer<QLabel>, QString>> m_ownerHelp;
};

} // namespace orvj
