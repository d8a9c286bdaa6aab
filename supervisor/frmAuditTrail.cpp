#include "supervisor/frmAuditTrail.h"

#include "scoring/CsvField.h"

#include "core/AppState.h"
#include "store/FileReplace.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <exception>

namespace orvj {
namespace {

const char* const kColumns[] = {"Line",  "Time (UTC)", "PC",      "User", "Program",
                                "Event", "Records",    "Changes", "State"};
constexpr int kColumnCount = 9;

QStringList cellsOf(const AuditLine& l) {
    const auto text = [](const std::string& s) {
        return QString::fromUtf8(s.data(), std::ssize(s));
    };
    return {QString::number(l.line),
            text(l.time),
            text(l.pc),
            text(l.user),
            text(l.program),
            text(l.event),
            text(l.records),
            text(l.detail),
            l.failed ? QStringLiteral("failed") : QString()};
}

// A field of the export: quoted when it holds a comma, a quote or a line break; a leading
// character a spreadsheet would run as a formula is made text.
std::string csvCell(std::string text) {
    if (!text.empty() && std::string("=+-@\t\r").find(text.front()) != std::string::npos) {
        text.insert(0, 1, '\'');
    }
    return csvField(text);
}

} // namespace

frmAuditTrail::frmAuditTrail(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmAuditTrail"));
    setWindowTitle(QStringLiteral("Audit Trail"));
    setModal(true);
    m_pickFile = [](QWidget* p, const QString& suggested) {
        return QFileDialog::getSaveFileName(p, QStringLiteral("Export Audit Trail"), suggested,
                                            QStringLiteral("CSV files (*.csv)"));
    };

    auto* outer = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("Who Changed What, When"), this);
    frame->setObjectName(QStringLiteral("fraAuditTrail"));
    auto* form = new QFormLayout;
    m_txtRecord = new QLineEdit(frame);
    m_txtRecord->setObjectName(QStringLiteral("txtRecord"));
    m_txtRecord->setMaxLength(2);
    m_txtRecord->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,2}")), m_txtRecord));
    form->addRow(QStringLiteral("&Record number:"), m_txtRecord);
    m_txtSince = new QLineEdit(frame);
    m_txtSince->setObjectName(QStringLiteral("txtSince"));
    m_txtSince->setMaxLength(10);
    m_txtSince->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,4}(-[0-9]{0,2}(-[0-9]{0,2})?)?")), m_txtSince));
    form->addRow(QStringLiteral("&From date:"), m_txtSince);
    m_lblChainState = new QLabel(frame);
    m_lblChainState->setObjectName(QStringLiteral("lblChainState"));
    m_lblChainState->setTextFormat(Qt::PlainText);
    m_lblChainState->setWordWrap(true);
    form->addRow(QStringLiteral("Chain:"), m_lblChainState);
    auto* inner = new QVBoxLayout(frame);
    inner->addLayout(form);
    m_grdAuditTrail = new QTableWidget(0, kColumnCount, frame);
    m_grdAuditTrail->setObjectName(QStringLiteral("grdAuditTrail"));
    QStringList headers;
    for (const char* c : kColumns) {
        headers << QString::fromLatin1(c);
    }
    m_grdAuditTrail->setHorizontalHeaderLabels(headers);
    m_grdAuditTrail->verticalHeader()->hide();
    m_grdAuditTrail->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdAuditTrail->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdAuditTrail->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdAuditTrail->setTabKeyNavigation(false);
    inner->addWidget(m_grdAuditTrail, 1);
    outer->addWidget(frame, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeMenuChoice(this, kExport, QStringLiteral("&Export CSV...")));
    buttons->addWidget(makeMenuChoice(this, kClose, QStringLiteral("&Close")));
    outer->addLayout(buttons);
    m_msgPanel = makeMsgPanel(this);
    outer->addWidget(m_msgPanel);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    m_choices->add(kExport, QStringLiteral("Save the lines shown as a CSV file."));
    m_choices->add(kClose, QStringLiteral("Close this window and return to Main Menu."));
    connect(m_choices, &MenuChoices::chosen, this, &frmAuditTrail::choose);

    describeControl(m_txtRecord, QStringLiteral("Record number"),
                    QStringLiteral("Type a record number to show its lines only; empty shows "
                                   "all."),
                    m_msgPanel);
    describeControl(m_txtSince, QStringLiteral("From date"),
                    QStringLiteral("Type a date as YYYY-MM-DD to show the lines from that day "
                                   "on; empty shows all."),
                    m_msgPanel);
    describeControl(m_grdAuditTrail, QStringLiteral("Audit trail"),
                    QStringLiteral("Use up or down arrow keys to read the lines, newest first."),
                    m_msgPanel);
    m_fieldPalette = m_txtRecord->palette();
    for (QWidget* w : {static_cast<QWidget*>(m_txtRecord), static_cast<QWidget*>(m_txtSince),
                       static_cast<QWidget*>(m_grdAuditTrail)}) {
        w->installEventFilter(this);
    }
    setTabOrder(m_txtRecord, m_txtSince);
    setTabOrder(m_txtSince, m_grdAuditTrail);
    setTabOrder(m_grdAuditTrail, menuButton(this, kExport));
    setTabOrder(menuButton(this, kExport), menuButton(this, kClose));
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("escClose"));
    connect(escape, &QShortcut::activated, this, &QDialog::reject);
    connect(m_txtRecord, &QLineEdit::textChanged, this, &frmAuditTrail::fill);
    connect(m_txtSince, &QLineEdit::textChanged, this, &frmAuditTrail::fill);
    sizeToLayout(this, 11000, 6600);
    load();
}

void frmAuditTrail::load() {
    try {
        m_trail = AuditTrail(m_state.paths.clientFile).read();
        m_lblChainState->setText(m_trail.check.intact ? QStringLiteral("intact")
                                                      : errorText(m_trail.check.problem));
    } catch (const std::exception& e) {
        m_trail = {};
        m_lblChainState->setText(QStringLiteral("The audit trail could not be read: ") +
                                 errorText(e));
    }
    fill();
}

void frmAuditTrail::fill() {
    const int record = m_txtRecord->text().toInt();
    const std::string since = m_txtSince->text().toStdString();
    m_shown.clear();
    for (auto it = m_trail.lines.rbegin(); it != m_trail.lines.rend(); ++it) {
        if ((record > 0 && !it->mentionsRecord(record)) ||
            (since.size() == 10 && it->time.substr(0, 10) < since)) {
            continue;
        }
        m_shown.push_back(&*it);
    }
    m_grdAuditTrail->setRowCount(static_cast<int>(m_shown.size()));
    for (int row = 0; row < static_cast<int>(m_shown.size()); ++row) {
        const QStringList cells = cellsOf(*m_shown[static_cast<std::size_t>(row)]);
        for (int col = 0; col < kColumnCount; ++col) {
            m_grdAuditTrail->setItem(row, col, new QTableWidgetItem(cells[col]));
        }
    }
    // Every text whole; a row wider than the window scrolls.
    m_grdAuditTrail->resizeColumnsToContents();
    if (!m_shown.empty()) {
        m_grdAuditTrail->setCurrentCell(0, 0);
    }
}

std::string frmAuditTrail::csv() const {
    std::string out;
    for (int col = 0; col < kColumnCount; ++col) {
        out += (col == 0 ? "" : ",") + std::string(kColumns[col]);
    }
    out += "\r\n";
    for (const AuditLine* l : m_shown) {
        const QStringList cells = cellsOf(*l);
        for (int col = 0; col < kColumnCount; ++col) {
            out += (col == 0 ? "" : ",") + csvCell(cells[col].toStdString());
        }
        out += "\r\n";
    }
    return out;
}

void frmAuditTrail::choose(int index) {
    if (index == kExport) {
        exportCsv();
    } else {
        accept();
    }
}

void frmAuditTrail::exportCsv() {
    QString file = m_pickFile(this, QDir::home().filePath(QStringLiteral("audit-trail.csv")));
    if (file.isEmpty()) {
        return;
    }
    if (!file.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        file += QStringLiteral(".csv");
    }
    try {
        replaceFileContent(qStringToPath(file), csv(), "cannot export the audit trail");
    } catch (const std::exception& e) {
        m_services.messages->show(
            this, appTitle(), QStringLiteral("The audit trail was not exported.\n") + errorText(e),
            MessageService::Icon::Critical);
        return;
    }
    recordAudit(
        m_state.paths.clientFile, *m_services.messages, this,
        {AuditEvent::CsvExported, "", "audit trail, " + std::to_string(m_shown.size()) + " lines"});
    load();
    m_services.messages->show(this, appTitle(),
                              QStringLiteral("The audit trail was exported to %1.").arg(file),
                              MessageService::Icon::Information);
}

bool frmAuditTrail::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w != nullptr && event->type() == QEvent::FocusIn) {
        if (w != m_grdAuditTrail) {
            setColors(w, Colors::cyan, Colors::black);
        }
        m_msgPanel->setText(w->accessibleDescription());
    } else if (w != nullptr && event->type() == QEvent::FocusOut && w != m_grdAuditTrail) {
        w->setPalette(m_fieldPalette);
        w->setAutoFillBackground(false);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orvj
