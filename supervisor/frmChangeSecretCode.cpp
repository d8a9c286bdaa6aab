#include "supervisor/frmChangeSecretCode.h"

#include "core/AppState.h"
#include "store/OrvjError.h"
#include "store/SecretCode.h"
#include "ui/Attempt.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/InputBoxSecretCodePrompt.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace orvj {
namespace {

const char* const kCaptions[3] = {"C&urrent code:", "&New code:", "New code &again:"};
const char* const kNames[3] = {"txtCurrentCode", "txtNewCode", "txtRepeatCode"};

QString helpLine(int field) {
    switch (field) {
    case 0:
        return QStringLiteral("Type the secret code in use now. Press Enter to continue.");
    case 1:
        return QStringLiteral("Type the office's new code: 6 to 32 characters; capitals count. "
                              "Press Enter to continue.");
    default:
        return QStringLiteral("Type the new code once more, exactly as above. Press Enter to "
                              "continue.");
    }
}

QString title() {
    return QStringLiteral("Change Secret Code");
}

} // namespace

frmChangeSecretCode::frmChangeSecretCode(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmChangeSecretCode"));
    setWindowTitle(title());
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("The Office's Secret Code"), this);
    frame->setObjectName(QStringLiteral("fraSecretCode"));
    auto* frameLayout = new QVBoxLayout(frame);
    m_lblComment = new QLabel(
        QStringLiteral("The secret code opens the supervisor's utilities and the way back from "
                       "an on-screen test. Only a one-way hash of it is stored, so a forgotten "
                       "code cannot be looked up."),
        frame);
    m_lblComment->setObjectName(QStringLiteral("lblComment"));
    m_lblComment->setWordWrap(true);
    m_lblComment->setMinimumWidth(twipsToPixels(5600));
    m_lblComment->setMinimumHeight(m_lblComment->heightForWidth(m_lblComment->minimumWidth()));
    frameLayout->addWidget(m_lblComment);
    auto* form = new QFormLayout;
    frameLayout->addLayout(form);
    for (int i = 0; i < 3; ++i) {
        auto* line = new QLineEdit(frame);
        line->setObjectName(QString::fromLatin1(kNames[i]));
        line->setMaxLength(static_cast<int>(SecretCode::kMaxLength));
        line->setEchoMode(QLineEdit::Password);
        useAsteriskMask(line);
        line->setMinimumWidth(twipsToPixels(3000));
        line->installEventFilter(this);
        auto* label = new QLabel(QString::fromLatin1(kCaptions[i]), frame);
        label->setBuddy(line);
        form->addRow(label, line);
        m_fields[static_cast<std::size_t>(i)] = line;
    }
    outer->addWidget(frame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeMenuChoice(this, kChange, QStringLiteral("&Change Code")));
    buttons->addWidget(makeMenuChoice(this, kCancel, QStringLiteral("Cancel")));
    buttons->addStretch();
    outer->addLayout(buttons);
    m_msgPanel = makeMsgPanel(this);
    outer->addWidget(m_msgPanel);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    m_choices->add(kChange, QStringLiteral("Store the new code as the office's secret code."));
    m_choices->add(kCancel, QStringLiteral("Close this window; the secret code stays as it is."));
    connect(m_choices, &MenuChoices::chosen, this, &frmChangeSecretCode::choose);

    for (int i = 0; i < 3; ++i) {
        describeControl(m_fields[static_cast<std::size_t>(i)], QString::fromLatin1(kCaptions[i]),
                        helpLine(i), m_msgPanel);
    }
    m_fieldPalette = field(Current)->palette();
    setTabOrder(field(Current), field(New));
    setTabOrder(field(New), field(Repeated));
    setTabOrder(field(Repeated), menuButton(this, kChange));
    setTabOrder(menuButton(this, kChange), menuButton(this, kCancel));
    // Escape closes the window from every control, the menu buttons included (they let no
    // key but Space and Enter through).
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("escClose"));
    connect(escape, &QShortcut::activated, this, &QDialog::reject);

    sizeToLayout(this, 7000, 3600);
}

void frmChangeSecretCode::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        CenterForm(this);
        ClearHighlights(this, kCancel);
        field(Current)->setFocus(Qt::OtherFocusReason);
    }
}

bool frmChangeSecretCode::eventFilter(QObject* watched, QEvent* event) {
    int index = -1;
    for (int i = 0; i < 3; ++i) {
        if (watched == m_fields[static_cast<std::size_t>(i)]) {
            index = i;
        }
    }
    if (index < 0) {
        return QDialog::eventFilter(watched, event);
    }
    QLineEdit* line = m_fields[static_cast<std::size_t>(index)];
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enterIn(static_cast<Field>(index));
            return true;
        }
        return false;
    }
    case QEvent::FocusIn:
        // The focused field is cyan with black text, and the help line says what it is for.
        setColors(line, Colors::cyan, Colors::black);
        m_msgPanel->setText(line->accessibleDescription());
        SelectAllText();
        return false;
    case QEvent::FocusOut:
        line->setPalette(m_fieldPalette);
        line->setAutoFillBackground(false);
        return false;
    default:
        return false;
    }
}

void frmChangeSecretCode::enterIn(Field f) {
    // Enter moves on, as Tab does; the new code is checked as soon as it is typed.
    switch (f) {
    case Current:
        field(New)->setFocus(Qt::TabFocusReason);
        return;
    case New:
        if (SecretCode::characters(field(New)->text().toStdString()) < SecretCode::kMinLength) {
            refuse(QStringLiteral("The new secret code is too short: it needs at least %1 "
                                  "characters.")
                       .arg(SecretCode::kMinLength),
                   New, true);
            return;
        }
        field(Repeated)->setFocus(Qt::TabFocusReason);
        return;
    case Repeated:
        if (field(Repeated)->text() != field(New)->text()) {
            refuse(QStringLiteral("The two new codes are not the same. Type the new code twice, "
                                  "exactly alike."),
                   New, true);
            return;
        }
        menuButton(this, kChange)->setFocus(Qt::TabFocusReason);
        return;
    }
}

void frmChangeSecretCode::refuse(const QString& text, Field focus, bool clearNewCodes) {
    m_services.messages->show(this, title(), text, MessageService::Icon::Critical,
                              MessageService::Buttons::Ok);
    if (clearNewCodes) {
        field(New)->clear();
        field(Repeated)->clear();
    } else {
        field(focus)->clear();
    }
    field(focus)->setFocus(Qt::OtherFocusReason);
}

void frmChangeSecretCode::choose(int index) {
    if (index == kCancel) {
        reject();
        return;
    }
    changeCode();
}

void frmChangeSecretCode::changeCode() {
    const SecretCode code(m_state.paths.configFile);
    SecretCode::Change result = SecretCode::Change::WrongCurrent;
    // The hourglass covers the slow hash.
    if (!attempt<OrvjError>(this, *m_services.messages, title(),
                            QStringLiteral("The new secret code could not be saved, so the "
                                           "code stays as it was.\n\n"),
                            [&] {
                                result = code.change(field(Current)->text().toStdString(),
                                                     field(New)->text().toStdString(),
                                                     field(Repeated)->text().toStdString());
                            })) {
        return;
    }
    switch (result) {
    case SecretCode::Change::Changed:
        m_changed = true;
        recordAudit(m_state.paths.clientFile, *m_services.messages, this,
                    {AuditEvent::SecretCodeChanged, "", ""});
        m_services.messages->show(this, title(),
                                  QStringLiteral("The office's secret code is changed. From now "
                                                 "on only the new code is accepted."),
                                  MessageService::Icon::Information, MessageService::Buttons::Ok);
        accept();
        return;
    case SecretCode::Change::WrongCurrent:
        refuse(QStringLiteral("The current secret code is not correct. Type the code in use "
                              "now."),
               Current, false);
        return;
    case SecretCode::Change::TooShort:
        refuse(QStringLiteral("The new secret code is too short: it needs at least %1 "
                              "characters.")
                   .arg(SecretCode::kMinLength),
               New, true);
        return;
    case SecretCode::Change::TooLong:
        refuse(QStringLiteral("The new secret code is too long: it may have at most %1 "
                              "characters.")
                   .arg(SecretCode::kMaxLength),
               New, true);
        return;
    case SecretCode::Change::Mismatch:
        refuse(QStringLiteral("The two new codes are not the same. Type the new code twice, "
                              "exactly alike."),
               New, true);
        return;
    case SecretCode::Change::Damaged:
        m_services.messages->show(this, QStringLiteral("Secret Code Damaged"),
                                  damagedSecretCodeText(pathToQString(m_state.paths.configFile)),
                                  MessageService::Icon::Critical, MessageService::Buttons::Ok);
        reject();
        return;
    }
}

} // namespace orvj
