#include "clients/frmViewReport.h"

#include "core/AppState.h"
#include "scoring/CriticalCases.h"
#include "scoring/InventoryLoader.h"
#include "scoring/ReportJobs.h"
#include "ui/Attempt.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/ProfileView.h"
#include "ui/RecordText.h"
#include "ui/Services.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace orvj {

frmViewReport::frmViewReport(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmViewReport"));
    setWindowTitle(title(false));
    setModal(true);

    m_fraAll = new QFrame(this);
    m_fraAll->setObjectName(QStringLiteral("fraAll"));
    // The report's text, and beside it its profile picture.
    m_tabPages = new QTabWidget(m_fraAll);
    m_tabPages->setObjectName(QStringLiteral("tabPages"));
    m_text1 = new QPlainTextEdit;
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    m_text1->setFont(font);
    // The text area is as wide as a report line of 80 columns in its font.
    const QFontMetrics fm(font);
    const int columns = fm.horizontalAdvance(QString(kReportColumns, QLatin1Char('M')));
    m_text1->setMinimumWidth(columns + m_text1->cursorWidth() +
                             2 * static_cast<int>(m_text1->document()->documentMargin()) +
                             2 * m_text1->frameWidth() +
                             m_text1->verticalScrollBar()->sizeHint().width() + 2);
    m_text1->setAccessibleName(QStringLiteral("Client Report"));
    m_picProfile = new ProfileView;
    m_tabPages->addTab(m_text1, QStringLiteral("&Report"));
    m_tabPages->addTab(m_picProfile, QStringLiteral("Pro&file"));
    m_tabPages->tabBar()->setAccessibleName(QStringLiteral("Report pages"));
    m_chkAddProfileChart = new QCheckBox(QStringLiteral("Add profile c&hart"), m_fraAll);
    m_chkAddProfileChart->setObjectName(QStringLiteral("chkAddProfileChart"));
    m_chkAddProfileChart->setAccessibleName(QStringLiteral("Add profile chart"));
    m_chkAddProfileChart->setAccessibleDescription(
        QStringLiteral("Print and save the profile chart as an extra sheet after the report."));

    m_cmdPrintReport = new QPushButton(QStringLiteral("&Print Report"), m_fraAll);
    m_cmdPrintReport->setObjectName(QStringLiteral("cmdPrintReport"));
    m_cmdPrintReport->setDefault(true);
    // Alt+D: Alt+P is "&Print Report".
    m_cmdSavePdf = new QPushButton(QStringLiteral("Save as P&DF..."), m_fraAll);
    m_cmdSavePdf->setObjectName(QStringLiteral("cmdSavePdf"));
    m_cmdSavePdf->setAutoDefault(false);
    m_cmdCancel = new QPushButton(QStringLiteral("&Close"), m_fraAll);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_chkAddProfileChart);
    buttons->addStretch();
    buttons->addWidget(m_cmdPrintReport);
    buttons->addWidget(m_cmdSavePdf);
    buttons->addWidget(m_cmdCancel);
    buttons->addStretch();
    auto* inner = new QVBoxLayout(m_fraAll);
    inner->addWidget(m_tabPages, 1);
    inner->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fraAll);

    for (QPushButton* b : {m_cmdPrintReport, m_cmdSavePdf, m_cmdCancel}) {
        b->setAccessibleName(plainCaption(b->text()));
    }
    setTabOrder(m_tabPages->tabBar(), m_text1);
    setTabOrder(m_text1, m_chkAddProfileChart);
    setTabOrder(m_chkAddProfileChart, m_cmdPrintReport);
    setTabOrder(m_cmdPrintReport, m_cmdSavePdf);
    setTabOrder(m_cmdSavePdf, m_cmdCancel);

    connect(m_cmdPrintReport, &QPushButton::clicked, this, &frmViewReport::printReport);
    connect(m_cmdSavePdf, &QPushButton::clicked, this, &frmViewReport::savePdf);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // The form sees the keys before its controls do.
    m_cmdPrintReport->installEventFilter(this);
    m_cmdSavePdf->installEventFilter(this);
    m_cmdCancel->installEventFilter(this);
    m_chkAddProfileChart->installEventFilter(this);
    m_tabPages->tabBar()->installEventFilter(this);

    m_pickPdfFile = [](QWidget* owner, const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, QStringLiteral("Save Report as PDF"), suggested,
                                            QStringLiteral("PDF files (*.pdf)"));
    };
    sizeToLayout(this, 10500, 7500);
}

QString frmViewReport::pdfFileName(int record) {
    return QStringLiteral("report-%1.pdf").arg(record);
}

void frmViewReport::chooseProfileSheet() {
    const auto& shown = m_picProfile->profiles();
    m_services.reports->setProfileSheet(m_chkAddProfileChart->isChecked() && !shown.empty()
                                            ? std::optional<ProfileData>(shown.front())
                                            : std::nullopt);
}

void frmViewReport::setButtonsEnabled(bool on) {
    m_cmdPrintReport->setEnabled(on);
    m_cmdSavePdf->setEnabled(on);
    m_cmdCancel->setEnabled(on);
}

void frmViewReport::savePdf() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) {
        documents = QDir::homePath();
    }
    QString file =
        m_pickPdfFile(this, QDir(documents).filePath(pdfFileName(m_state.clients.currentClient)));
    if (file.isEmpty()) {
        return;
    }
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        file += QStringLiteral(".pdf");
    }
    m_busy = true;
    setButtonsEnabled(false);
    if (attempt(this, *m_services.messages, appTitle(),
                QStringLiteral("The report was not saved as PDF.\n"), [&] {
                    chooseProfileSheet();
                    m_services.reports->saveReportTextPdf(m_reportText, qStringToPath(file));
                })) {
        recordAudit(
            m_state.paths.clientFile, *m_services.messages, this,
            {AuditEvent::ReportSavedAsPdf, std::to_string(m_state.clients.currentClient), ""});
    }
    setButtonsEnabled(true);
    m_busy = false;
    m_front.reset();
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
    if (m_front.cameBack(event, this, m_busy || !m_shown)) {
        // Back in front after another window: the report is composed and loaded again.
        QTimer::singleShot(0, this, &frmViewReport::activate);
    }
}

QString frmViewReport::title(bool critical) {
    const QString plain = QStringLiteral("Client Report");
    return critical ? plain + QLatin1Char(' ') + QLatin1String(kCriticalMark) + QLatin1Char(' ') +
                          QLatin1String(kCriticalMeaning)
                    : plain;
}

void frmViewReport::activate() {
    if (m_busy || !isVisible()) {
        return;
    }
    m_busy = true;
    CenterForm(this);
    const bool composed = attempt(
        this, *m_services.messages, appTitle(),
        QStringLiteral("The report of client %1 could not be composed.\n")
            .arg(m_state.clients.currentClient),
        [this] {
            // Composed and read back under the lock, so the text is this client's report.
            const ReportFolderLock lock = m_services.reports->lockReportFolder();
            m_services.reports->compose(m_state.clients, m_state.clients.currentClient,
                                        m_state.reportOption);
            m_reportText = m_services.reports->readReportText();
            m_text1->setPlainText(toScreen(m_reportText));
            setWindowTitle(title(isCriticalClient(m_state.clients, m_state.clients.currentClient,
                                                  m_state.paths.home, m_state.paths.configFile)));
            try {
                const int client = m_state.clients.currentClient;
                m_picProfile->setProfiles({profileOf(m_state.clients.at(client), client,
                                                     loadInventory(m_state.paths.home).scoring)});
            } catch (const std::exception& e) {
                m_picProfile->setNote(QStringLiteral("The profile chart cannot be drawn.\n") +
                                      errorText(e));
            }
        });
    if (!composed) {
        m_busy = false;
        reject();
        return;
    }
    recordAudit(m_state.paths.clientFile, *m_services.messages, this,
                {AuditEvent::ReportViewed, std::to_string(m_state.clients.currentClient), ""});
    m_busy = false;
    m_front.reset();
}

void frmViewReport::printReport() {
    m_busy = true;
    setButtonsEnabled(false);
    if (attempt(this, *m_services.messages, appTitle(),
                QStringLiteral("The report was not printed.\n"), [this] {
                    chooseProfileSheet();
                    m_services.reports->printReportText(m_reportText);
                })) {
        recordAudit(m_state.paths.clientFile, *m_services.messages, this,
                    {AuditEvent::ReportPrinted, std::to_string(m_state.clients.currentClient), ""});
    }
    setButtonsEnabled(true);
    m_busy = false;
    m_front.reset();
}

bool frmViewReport::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tabPages->tabBar()) {
        ShowTabFocus(m_tabPages->tabBar(), event);
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (m_tabPages->currentWidget() != m_text1) {
                break;
            }
            m_text1->setFocus(Qt::OtherFocusReason);
            QApplication::sendEvent(m_text1, key);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orvj
