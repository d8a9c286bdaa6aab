#include "session/frmSelectEntryMethod.h"

#include "core/AppState.h"
#include "session/QuestionSequence.h"
#include "session/frmPresentQA.h"
#include "session/frmSelectLanguage.h"
#include "store/OrvjError.h"
#include "store/QuestionBank.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/FormLauncher.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/SecretCodePrompt.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace orvj {

frmSelectEntryMethod::frmSelectEntryMethod(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmSelectEntryMethod"));
    setWindowTitle(QStringLiteral("Entry Method"));
    setModal(true);
    resize(twipsToPixels(9000), twipsToPixels(4200));

    m_frBlank = new QFrame(this);
    m_frBlank->setObjectName(QStringLiteral("frBlank"));
    m_frBlank->setFrameShape(QFrame::NoFrame);

    m_fraSelectMethod = new QGroupBox(QStringLiteral("Select Client Data Entry Method"), this);
    m_fraSelectMethod->setObjectName(QStringLiteral("fraSelectMethod"));
    auto* column = new QVBoxLayout(m_fraSelectMethod);
    column->addWidget(
        makeMenuChoice(m_fraSelectMethod, kOnScreen, QStringLiteral("Administer Test to Client")));
    column->addWidget(makeMenuChoice(m_fraSelectMethod, kAnswerSheet,
                                     QStringLiteral("Enter Test Data from Answer Sheet")));
    column->addWidget(
        makeMenuChoice(m_fraSelectMethod, kCancel, QStringLiteral("Cancel New Client Entry")));
    m_fraSelectMethod->adjustSize();
    m_frBlank->resize(m_fraSelectMethod->size());

    m_msgPanel = makeMsgPanel(this);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    m_choices->add(kOnScreen, QStringLiteral("Onscreen Presentation. Enter client information "
                                             "then present the test on the computer."));
    m_choices->add(kAnswerSheet,
                   QStringLiteral("Paper-Pencil Presentation. Manually enter test information "
                                  "from completed answer sheet."));
    m_choices->add(kCancel,
                   QStringLiteral("Cancel. Do not enter a new client. Return to Main Menu."));
    connect(m_choices, &MenuChoices::chosen, this, &frmSelectEntryMethod::choose);

    // The window holds the frame above the centre and the help panel below it.
    const int margin = twipsToPixels(240);
    const int formWidth = std::max(width(), m_fraSelectMethod->width() + 2 * margin);
    resize(formWidth,
           std::max(height(), m_fraSelectMethod->height() + twipsToPixels(1000) +
                                  2 * msgPanelRoom(this, m_msgPanel, formWidth) + 2 * margin));
}

void frmSelectEntryMethod::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterForm(this);
    placeMsgPanel(this, m_msgPanel);
    CenterFrame(this, m_fraSelectMethod);
    m_frBlank->setGeometry(m_fraSelectMethod->geometry());
    ClearHighlights(this, kCancel);
    if (QWidget* first = menuButton(this, kOnScreen); first != nullptr && !m_busy) {
        first->setFocus();
    }
}

void frmSelectEntryMethod::choose(int index) {
    if (m_busy) {
        return;
    }
    m_busy = true;
    switch (index) {
    case kOnScreen:
        administerTest();
        break;
    case kAnswerSheet:
        m_services.forms->showClientInfo(this);
        if (m_state.dialogConfirmed) {
            m_services.forms->showNewEntry(this);
        }
        break;
    default:
        break;
    }
    m_busy = false;
    QDialog::accept();
}

void frmSelectEntryMethod::administerTest() {
    m_services.forms->showClientInfo(this);
    if (!m_state.dialogConfirmed) {
        return;
    }

    QString language;
    std::vector<QuestionRow> rows;
    try {
        frmSelectLanguage languageForm(m_state, m_services, this);
        const int count = languageForm.LanguageCount();
        if (count == 0) {
            abandonNewClient(QStringLiteral("The question bank %1 holds no question table named "
                                            "\"English\" or \"Spanish\".")
                                 .arg(pathToQString(m_state.paths.questionBank)));
            return;
        }
        if (count < 2) {
            language = languageForm.languageCaption(0);
        } else {
            m_state.dialogConfirmed = false;
            languageForm.exec();
            language = languageForm.Language();
        }
        if (!m_state.dialogConfirmed) {
            return;
        }
        // Read before the test starts, so a table that cannot carry the whole test is found
        // before the client has answered anything.
        rows = QuestionBank(m_state.paths.questionBank).rows(language.toStdString());
        QuestionSequence::validate(rows, language.toStdString());
    } catch (const OrvjError& e) {
        abandonNewClient(errorText(e));
        return;
    }

    m_fraSelectMethod->hide();
    m_msgPanel->setText(QStringLiteral("When ready press Enter to continue."));
    m_services.messages->show(this, appTitle(),
                              QStringLiteral("This test will begin as soon as you press the "
                                             "Enter key."),
                              MessageService::Icon::None, MessageService::Buttons::Ok);

    {
        frmPresentQA presentation(m_state, m_services, this);
        presentation.setLanguage(language);
        presentation.setQuestions(std::move(rows));
        presentation.exec();
    }

    do {
        m_msgPanel->setText(QStringLiteral("Enter the secret code to continue."));
    } while (!m_services.secretCode->AskSecretCode(this));
}

void frmSelectEntryMethod::abandonNewClient(const QString& why) {
    m_services.messages->show(this, appTitle(),
                              why + QStringLiteral("\n\nThe test cannot be given. The new "
                                                   "client's entry was cancelled."),
                              MessageService::Icon::Critical, MessageService::Buttons::Ok);
    if (!m_state.editMode) {
        recordAudit(m_state.paths.clientFile, *m_services.messages, this,
                    {AuditEvent::TestAborted, std::to_string(m_state.clients.currentClient),
                     "the test could not be given"});
        m_state.clients.dropNewClient();
    }
    m_state.dialogConfirmed = false;
}

void frmSelectEntryMethod::closeEvent(QCloseEvent* event) {
    if (m_busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// Escape or the window's close box before a choice: the same as "Cancel New Client Entry".
void frmSelectEntryMethod::reject() {
    if (!m_busy) {
        QDialog::reject();
    }
}

} // namespace orvj
