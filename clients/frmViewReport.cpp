#include "clients/frmViewReport.h"

#include "app/AppState.h"
#include "clients/RecordText.h"
#include "scoring/ReportJobs.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orvj {

frmViewReport::frmViewReport(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmViewReport"));
    setWindowTitle(QStringLiteral("Client Report"));
    setModal(true);
    setMinimumSize(twipsToPixels(10500), twipsToPixels(7500));

    fraAll = new QFrame(this);
    fraAll->setObjectName(QStringLiteral("fraAll"));
    Text1 = new QPlainTextEdit(fraAll);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    Text1->setFont(font);

    cmdPrintReport = new QPushButton(QStringLiteral("&Print Report"), fraAll);
    cmdPrintReport->setObjectName(QStringLiteral("cmdPrintReport"));
    cmdPrintReport->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Close"), fraAll);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdPrintReport);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    auto* inner = new QVBoxLayout(fraAll);
    inner->addWidget(Text1, 1);
    inner->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraAll);

    connect(cmdPrintReport, &QPushButton::clicked, this, &frmViewReport::printReport);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // The form sees the keys before its controls do.
    cmdPrintReport->installEventFilter(this);
    cmdCancel->installEventFilter(this);
}

void frmViewReport::MOUSEWAIT() {
    orvj::MOUSEWAIT();
}
void frmViewReport::MOUSEDEFAULT() {
    orvj::MOUSEDEFAULT();
}

void frmViewReport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        QTimer::singleShot(0, this, &frmViewReport::activate);
    }
}

void frmViewReport::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || m_busy || !m_shown) {
        return;
    }
    if (!isActiveWindow()) {
        m_wasDeactivated = true;
    } else if (m_wasDeactivated) {
        // Back in front after another window: the report is composed and loaded again.
        m_wasDeactivated = false;
        QTimer::singleShot(0, this, &frmViewReport::activate);
    }
}

void frmViewReport::activate() {
    if (m_busy || !isVisible()) {
        return;
    }
    m_busy = true;
    CenterForm(this);
    MOUSEWAIT();
    try {
        m_services.reports->compose(m_state.clients, m_state.clients.currentClient,
                                    m_state.reportOption);
        Text1->setPlainText(toScreen(m_services.reports->readReportText()));
    } catch (const std::exception& e) {
        MOUSEDEFAULT();
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("The report of client %1 could not be "
                                                 "composed.\n")
                                          .arg(m_state.clients.currentClient) +
                                      errorText(e),
                                  MessageService::Icon::Critical);
        m_busy = false;
        reject();
        return;
    }
    MOUSEDEFAULT();
    m_busy = false;
    m_wasDeactivated = false;
}

void frmViewReport::printReport() {
    m_busy = true;
    cmdPrintReport->setEnabled(false);
    cmdCancel->setEnabled(false);
    MOUSEWAIT();
    QString fault;
    try {
        m_services.reports->printReportFile();
    } catch (const std::exception& e) {
        fault = errorText(e);
    }
    MOUSEDEFAULT();
    if (!fault.isEmpty()) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("The report was not printed.\n") + fault,
                                  MessageService::Icon::Critical);
    }
    cmdPrintReport->setEnabled(true);
    cmdCancel->setEnabled(true);
    m_busy = false;
    m_wasDeactivated = false;
}

bool frmViewReport::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            Text1->setFocus(Qt::OtherFocusReason);
            QApplication::sendEvent(Text1, key);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orvj
