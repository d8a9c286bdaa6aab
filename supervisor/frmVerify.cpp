#include "supervisor/frmVerify.h"

#include "core/AppState.h"
#include "store/ClientFile.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/RecordText.h"
#include "ui/Services.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace orvj {
namespace {

using F = ClientRecord::Field;

QString entryHelp() {
    return QStringLiteral("Enter response data from answer sheet. Press Backspace for previous "
                          "question.");
}

QString cancelHelp() {
    return QStringLiteral("Press Enter to Cancel Data Verification ") +
           QStringLiteral("and return to Main Menu");
}

QString question(int item) {
    return QStringLiteral("Question #") + QString::number(item);
}

// An answer box holds one code: 600 twips wide, or two lines of its font where that is more.
int answerBoxWidth(const QWidget* box) {
    return std::max(twipsToPixels(600), box->fontMetrics().height() * 2);
}

} // namespace

QString frmVerify::correctionsCaption() {
    return QStringLiteral("Data Corrections");
}

frmVerify::frmVerify(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmVerify"));
    setWindowTitle(QStringLiteral("Test Data Input Verification"));
    setModal(true);

    m_frAll = new QGroupBox(QStringLiteral("Data Verification"), this);
    m_frAll->setObjectName(QStringLiteral("frAll"));

    m_frame2 = new QGroupBox(QStringLiteral("Current Question"), m_frAll);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_lblCurQuestion = new QLabel(m_frame2);
    m_lblCurQuestion->setObjectName(QStringLiteral("lblCurQuestion"));
    m_txtCurQuestion = new QLineEdit(m_frame2);
    m_txtCurQuestion->setObjectName(QStringLiteral("txtCurQuestion"));
    m_txtCurQuestion->setMaxLength(1);
    m_txtCurQuestion->setAlignment(Qt::AlignCenter);
    m_txtCurQuestion->setFixedWidth(answerBoxWidth(m_txtCurQuestion));
    m_txtCurQuestion->installEventFilter(this);
    auto* current = new QHBoxLayout(m_frame2);
    current->addWidget(m_lblCurQuestion);
    current->addWidget(m_txtCurQuestion);

    m_frame1 = new QGroupBox(QStringLiteral("Previous Question"), m_frAll);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_lblPrevQuestion = new QLabel(m_frame1);
    m_lblPrevQuestion->setObjectName(QStringLiteral("lblPrevQuestion"));
    m_txtPrevQuestion = new QLineEdit(m_frame1);
    m_txtPrevQuestion->setObjectName(QStringLiteral("txtPrevQuestion"));
    m_txtPrevQuestion->setReadOnly(true);
    m_txtPrevQuestion->setFocusPolicy(Qt::NoFocus);
    m_txtPrevQuestion->setMaxLength(1);
    m_txtPrevQuestion->setAlignment(Qt::AlignCenter);
    m_txtPrevQuestion->setFixedWidth(answerBoxWidth(m_txtPrevQuestion));
    auto* previous = new QHBoxLayout(m_frame1);
    previous->addWidget(m_lblPrevQuestion);
    previous->addWidget(m_txtPrevQuestion);

    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), m_frAll);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);
    m_cmdCancel->installEventFilter(this);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* inner = new QVBoxLayout(m_frAll);
    inner->addWidget(m_frame1);
    inner->addWidget(m_frame2);
    inner->addWidget(m_cmdCancel, 0, Qt::AlignHCenter);

    m_pnlMessage = makeMsgPanel(this, QStringLiteral("pnlMessage"));
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(m_frAll, 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(m_pnlMessage);
    // Room for the frames and the longest help line; the frame keeps the width of its
    // larger caption, so it does not change size when the correction pass begins.
    sizeToLayout(this, 7200, 5400);
    describeControl(m_txtCurQuestion, m_frame2->title(), entryHelp(), m_pnlMessage);
    describeControl(m_cmdCancel, m_cmdCancel->text(), cancelHelp(), m_pnlMessage);
    m_frAll->setTitle(correctionsCaption());
    m_frAll->setMinimumWidth(m_frAll->minimumSizeHint().width());
    m_frAll->setTitle(QStringLiteral("Data Verification"));

    m_session =
        std::make_unique<VerifySession>(std::string(m_state.clients.current().field(F::Responses)));
    refreshLabels();
    m_pnlMessage->setText(entryHelp());
}

void frmVerify::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterForm(this);
    m_txtCurQuestion->setFocus(Qt::OtherFocusReason);
}

void frmVerify::refreshLabels() {
    m_lblCurQuestion->setText(question(m_session->currentItem()));
    const int previousItem = m_session->previousItem();
    if (previousItem == 0) {
        m_frame1->setVisible(false);
        m_lblPrevQuestion->clear();
        m_txtPrevQuestion->clear();
    } else {
        m_frame1->setVisible(true);
        m_lblPrevQuestion->setText(question(previousItem));
        m_txtPrevQuestion->setText(QString(QLatin1Char(m_session->previousCode())));
    }
}

bool frmVerify::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtCurQuestion) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                return false;
            }
            keyPressed(key);
            return true;
        }
        if (event->type() == QEvent::KeyRelease) {
            m_txtCurQuestion->clear();
        }
        if (event->type() == QEvent::FocusIn) {
            m_pnlMessage->setText(entryHelp());
        }
    } else if (watched == m_cmdCancel) {
        if (event->type() == QEvent::FocusIn) {
            m_pnlMessage->setText(cancelHelp());
        } else if (event->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(event)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) {
                m_cmdCancel->click();
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
    m_txtPrevQuestion->setText(QString(QLatin1Char(m_session->previousCode())));
    m_services.messages->show(this, QStringLiteral("Data Verification."),
                              QStringLiteral("Data Verification complete. No corrections needed."),
                              MessageService::Icon::None);
    // The record is written back as it was; a fault changes nothing, so it is only reported.
    writeRecord([](ClientRecord&) {}, QString(), "no corrections needed");
    accept();
}

void frmVerify::correctionsNeeded() {
    m_services.messages->show(this, QStringLiteral("Data Corrections"),
                              QStringLiteral("Data Correction needed. Please correct the "
                                             "following questions."),
                              MessageService::Icon::None);
    // The frame says which pass is running.
    m_frAll->setTitle(correctionsCaption());
    refreshLabels();
    m_txtCurQuestion->clear();
    m_txtCurQuestion->setFocus(Qt::OtherFocusReason);
}

void frmVerify::correctionsDone() {
    const std::string reKeyed = m_session->reKeyed();
    if (!writeRecord([&](ClientRecord& record) { record.set(F::Responses, reKeyed); },
                     QStringLiteral("\n\nKey the listed questions again to save once more, "
                                    "or press Cancel."),
                     "")) {
        // Memory keeps what the file holds; the corrections can be keyed again to retry.
        m_session->restartCorrections();
        refreshLabels();
        return;
    }
    m_services.messages->show(this, QStringLiteral("Data Verification"),
                              QStringLiteral("Data Verification complete."),
                              MessageService::Icon::None);
    accept();
}

bool frmVerify::writeRecord(const ClientTable::Change& change, const QString& advice,
                            const std::string& auditDetail) {
    ClientFile file(m_state.paths.clientFile);
    file.setAuditEvent(AuditEvent::VerificationCorrections, auditDetail);
    const RecordSave save = m_state.clients.saveCurrent(change, file);
    if (!save.saved) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("The client's answers could not be saved; the "
                                                 "client file was not changed.\n") +
                                      errorText(save.fault) + advice,
                                  MessageService::Icon::Critical);
        return false;
    }
    if (save.reloaded) {
        m_state.testStored = true; // another program changed clients: rebuild the list
    }
    return true;
}

} // namespace orvj
