#include "clients/frmVerify.h"

#include "app/AppState.h"
#include "clients/RecordText.h"
#include "store/ClientFile.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvj {
namespace {

using F = ClientRecord::Field;

QString entryHelp() {
    return QStringLiteral("Enter response data from answer sheet. Press Backspace for previous "
                          "question.");
}

QString question(int item) {
    return QStringLiteral("Question #") + QString::number(item);
}

} // namespace

frmVerify::frmVerify(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmVerify"));
    setWindowTitle(QStringLiteral("Test Data Input Verification"));
    setModal(true);

    frAll = new QGroupBox(QStringLiteral("Data Verification"), this);
    frAll->setObjectName(QStringLiteral("frAll"));

    Frame2 = new QGroupBox(QStringLiteral("Current Question"), frAll);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    lblCurQuestion = new QLabel(Frame2);
    lblCurQuestion->setObjectName(QStringLiteral("lblCurQuestion"));
    txtCurQuestion = new QLineEdit(Frame2);
    txtCurQuestion->setObjectName(QStringLiteral("txtCurQuestion"));
    txtCurQuestion->setMaxLength(1);
    txtCurQuestion->setAlignment(Qt::AlignCenter);
    txtCurQuestion->setFixedWidth(twipsToPixels(600));
    txtCurQuestion->installEventFilter(this);
    auto* current = new QHBoxLayout(Frame2);
    current->addWidget(lblCurQuestion);
    current->addWidget(txtCurQuestion);

    Frame1 = new QGroupBox(QStringLiteral("Previous Question"), frAll);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblPrevQuestion = new QLabel(Frame1);
    lblPrevQuestion->setObjectName(QStringLiteral("lblPrevQuestion"));
    txtPrevQuestion = new QLineEdit(Frame1);
    txtPrevQuestion->setObjectName(QStringLiteral("txtPrevQuestion"));
    txtPrevQuestion->setReadOnly(true);
    txtPrevQuestion->setFocusPolicy(Qt::NoFocus);
    txtPrevQuestion->setMaxLength(1);
    txtPrevQuestion->setAlignment(Qt::AlignCenter);
    txtPrevQuestion->setFixedWidth(twipsToPixels(600));
    auto* previous = new QHBoxLayout(Frame1);
    previous->addWidget(lblPrevQuestion);
    previous->addWidget(txtPrevQuestion);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), frAll);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    cmdCancel->installEventFilter(this);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* inner = new QVBoxLayout(frAll);
    inner->addWidget(Frame1);
    inner->addWidget(Frame2);
    inner->addWidget(cmdCancel, 0, Qt::AlignHCenter);

    pnlMessage = makeMsgPanel(this, QStringLiteral("pnlMessage"));
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(frAll, 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(pnlMessage);
    setMinimumSize(twipsToPixels(6000), twipsToPixels(4500));

    m_session =
        std::make_unique<VerifySession>(std::string(m_state.clients.current().field(F::Responses)));
    refreshLabels();
    pnlMessage->setText(entryHelp());
}

void frmVerify::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterForm(this);
    txtCurQuestion->setFocus(Qt::OtherFocusReason);
}

void frmVerify::refreshLabels() {
    lblCurQuestion->setText(question(m_session->currentItem()));
    const int previousItem = m_session->previousItem();
    if (previousItem == 0) {
        Frame1->setVisible(false);
        lblPrevQuestion->clear();
        txtPrevQuestion->clear();
    } else {
        Frame1->setVisible(true);
        lblPrevQuestion->setText(question(previousItem));
        txtPrevQuestion->setText(QString(QLatin1Char(m_session->previousCode())));
    }
}

bool frmVerify::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtCurQuestion) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                return false;
            }
            keyPressed(key);
            return true;
        }
        if (event->type() == QEvent::KeyRelease) {
            txtCurQuestion->clear();
        }
        if (event->type() == QEvent::FocusIn) {
            pnlMessage->setText(entryHelp());
        }
    } else if (watched == cmdCancel) {
        if (event->type() == QEvent::FocusIn) {
            pnlMessage->setText(QStringLiteral("Press Enter to Cancel Data Verification ") +
                                QStringLiteral("and return to Main Menu"));
        } else if (event->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(event)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) {
                cmdCancel->click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmVerify::keyPressed(QKeyEvent* key) {
    if (key->key() == Qt::Key_Backspace) {
        if (!m_session->backspace()) {
            m_services.messages->beep();
            return;
        }
        refreshLabels();
        return;
    }
    const QString text = key->text();
    if (text.size() != 1 || text[0].unicode() > 0x7F) {
        if (!text.isEmpty() || key->key() == Qt::Key_Delete) {
            m_services.messages->beep();
        }
        return;
    }
    switch (m_session->key(static_cast<char>(text[0].unicode()))) {
    case VerifySession::Result::Refused:
        m_services.messages->beep();
        return;
    case VerifySession::Result::Accepted:
        refreshLabels();
        return;
    case VerifySession::Result::NoDifferences:
        noDifferences();
        return;
    case VerifySession::Result::CorrectionsNeeded:
        correctionsNeeded();
        return;
    case VerifySession::Result::CorrectionsDone:
        correctionsDone();
        return;
    }
}

void frmVerify::noDifferences() {
    txtPrevQuestion->setText(QString(QLatin1Char(m_session->previousCode())));
    m_services.messages->show(this, QStringLiteral("Data Verification."),
                              QStringLiteral("Data Verification complete. No corrections needed."),
                              MessageService::Icon::None);
    // The record is written back as it was; a fault changes nothing, so it is only reported.
    writeRecord(QString());
    accept();
}

void frmVerify::correctionsNeeded() {
    m_services.messages->show(this, QStringLiteral("Data Corrections"),
                              QStringLiteral("Data Correction needed. Please correct the "
                                             "following questions."),
                              MessageService::Icon::None);
    refreshLabels();
    txtCurQuestion->clear();
    txtCurQuestion->setFocus(Qt::OtherFocusReason);
}

void frmVerify::correctionsDone() {
    ClientRecord& record = m_state.clients.current();
    const ClientRecord before = record;
    record.set(F::Responses, m_session->reKeyed());
    if (!writeRecord(QStringLiteral("\n\nKey the listed questions again to save once more, "
                                    "or press Cancel."))) {
        // Memory keeps what the file holds; the corrections can be keyed again to retry.
        record = before;
        m_session->restartCorrections();
        refreshLabels();
        return;
    }
    m_services.messages->show(this, QStringLiteral("Data Verification"),
                              QStringLiteral("Data Verification complete."),
                              MessageService::Icon::None);
    accept();
}

bool frmVerify::writeRecord(const QString& advice) {
    try {
        const auto outcome = ClientFile(m_state.paths.clientFile)
                                 .writeRecord(m_state.clients, m_state.clients.currentClient);
        if (outcome.reloaded) {
            m_state.testStored = true; // another program changed clients: rebuild the list
        }
        return true;
    } catch (const std::exception& e) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("The client's answers could not be saved; the "
                                                 "client file was not changed.\n") +
                                      errorText(e) + advice,
                                  MessageService::Icon::Critical);
        return false;
    }
}

} // namespace orvj
