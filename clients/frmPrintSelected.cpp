#include "clients/frmPrintSelected.h"

#include "core/AppState.h"
#include "scoring/ReportRuns.h"
#include "store/OrvjError.h"
#include "ui/Attempt.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PrintRun.h"
#include "ui/RecordText.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace orvj {

QString frmPrintSelected::instructions() {
    const QStringList lines = {
        QStringLiteral("- Select the client names of the"),
        QStringLiteral("  reports you want to print by"),
        QStringLiteral("  clicking on them."),
        QStringLiteral("- Use the scroll bar to scroll to"),
        QStringLiteral("  more names."),
        QStringLiteral("- If some of the names you have"),
        QStringLiteral("  selected scroll up or down out"),
        QStringLiteral("  of view, they are still selected"),
        QStringLiteral("  and will print."),
        QStringLiteral("- Click the \"Select All\" button to"),
        QStringLiteral("  select all the names in the list."),
        QStringLiteral("- Click the \"Print Selected\" button"),
        QStringLiteral("  to print all the reports you have"),
        QStringLiteral("  selected."),
        QStringLiteral("- Click the \"Return to Main Menu\""),
        QStringLiteral("  button to cancel selections and"),
        QStringLiteral("  print nothing."),
    };
    return lines.join(QLatin1Char('\n'));
}

frmPrintSelected::frmPrintSelected(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmPrintSelected"));
    setWindowTitle(QStringLiteral("Print Selected Reports"));
    setModal(true);

    m_fraAll = new QFrame(this);
    m_fraAll->setObjectName(QStringLiteral("fraAll"));
    m_txtInstructions = new QPlainTextEdit(m_fraAll);
    m_txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    m_txtInstructions->setReadOnly(true);
    m_txtInstructions->setFocusPolicy(Qt::NoFocus);
    m_txtInstructions->setPlainText(instructions());
    m_txtInstructions->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtInstructions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtInstructions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The box shows every line of the instructions whole.
    {
        const QFontMetrics fm(m_txtInstructions->font());
        const QStringList lines = instructions().split(QLatin1Char('\n'));
        int widest = 0;
        for (const QString& line : lines) {
            widest = std::max(widest, fm.horizontalAdvance(line));
        }
        const int chrome = 2 * static_cast<int>(m_txtInstructions->document()->documentMargin()) +
                           2 * m_txtInstructions->frameWidth() + 4;
        m_txtInstructions->setMinimumSize(
            std::max(twipsToPixels(3800), widest + chrome + m_txtInstructions->cursorWidth()),
            static_cast<int>(lines.size()) * fm.lineSpacing() + chrome);
    }

    m_fraClient = new QGroupBox(QStringLiteral("Client List"), m_fraAll);
    m_fraClient->setObjectName(QStringLiteral("fraClient"));
    setColors(m_fraClient, Colors::blue, Colors::white);
    m_lbNameDisplay = new QListWidget(m_fraClient);
    m_lbNameDisplay->setObjectName(QStringLiteral("lbNameDisplay"));
    m_lbNameDisplay->setSelectionMode(QAbstractItemView::MultiSelection);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    m_lbNameDisplay->setFont(fixed);
    // A two-digit record number and a name of 25 characters fit whole.
    m_lbNameDisplay->setMinimumWidth(std::max(
        twipsToPixels(4000), widestText(m_lbNameDisplay->fontMetrics(), 28) + 16 +
                                 2 * m_lbNameDisplay->frameWidth() +
                                 m_lbNameDisplay->verticalScrollBar()->sizeHint().width()));
    m_lbNameDisplay->installEventFilter(this);
    m_lbNameDisplay->viewport()->installEventFilter(this);
    auto* listLayout = new QVBoxLayout(m_fraClient);
    listLayout->addWidget(m_lbNameDisplay);
    keepBoldRoom(m_fraClient);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(makeMenuChoice(m_fraAll, 0, QStringLiteral("Print Selected")));
    buttons->addWidget(makeMenuChoice(m_fraAll, 1, QStringLiteral("Select All")));
    buttons->addWidget(makeMenuChoice(m_fraAll, 2, QStringLiteral("Return to Main Menu")));
    buttons->addStretch();

    auto* inner = new QHBoxLayout(m_fraAll);
    inner->addWidget(m_txtInstructions);
    inner->addWidget(m_fraClient, 1);
    inner->addLayout(buttons);

    m_msgPanel = makeMsgPanel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fraAll, 1);
    layout->addWidget(m_msgPanel);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    m_choices->add(0, QStringLiteral("Print selected client reports"));
    m_choices->add(1, QStringLiteral("Select all client reports for printing"));
    m_choices->add(2, QStringLiteral("Cancel selections and printing."));
    connect(m_choices, &MenuChoices::chosen, this, &frmPrintSelected::choose);
    sizeToLayout(this, 0, 0);
    describeControl(m_lbNameDisplay, m_fraClient->title(), clientListHelpLine(), m_msgPanel);
    connect(m_lbNameDisplay, &QListWidget::itemClicked, this, &frmPrintSelected::enableRule);

    setTabOrder(m_lbNameDisplay, menuButton(this, 0));
    setTabOrder(menuButton(this, 0), menuButton(this, 1));
    setTabOrder(menuButton(this, 1), menuButton(this, 2));
}

void frmPrintSelected::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        CenterForm(this);
        activate();
    }
}

void frmPrintSelected::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (m_front.cameBack(event, this, m_busy || !m_shown)) {
        activate();
    }
}

void frmPrintSelected::activate() {
    m_lbNameDisplay->clear();
    const ClientTable& clients = m_state.clients;
    for (int i = 1; i <= clients.clientCount; ++i) {
        m_lbNameDisplay->addItem(QString::number(i) + QLatin1Char('-') +
                                 toScreen(clients.at(i).field(ClientRecord::Field::Name)));
    }
    if (m_lbNameDisplay->count() > 0) {
        m_lbNameDisplay->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }
    enableRule();
}

void frmPrintSelected::enableRule() {
    QListWidgetItem* current = m_lbNameDisplay->currentItem();
    menuButton(this, 0)->setEnabled(current != nullptr && !current->text().isEmpty());
}

bool frmPrintSelected::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lbNameDisplay) {
        switch (event->type()) {
        case QEvent::FocusIn:
            ShowClientListFocus(m_fraClient, m_msgPanel, true);
            enableRule();
            break;
        case QEvent::FocusOut:
            ShowClientListFocus(m_fraClient, m_msgPanel, false);
            break;
        case QEvent::KeyRelease:
            enableRule();
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrintSelected::choose(int index) {
    switch (index) {
    case 0:
        printSelected();
        return;
    case 1:
        m_lbNameDisplay->selectAll();
        enableRule();
        return;
    default:
        reject();
        return;
    }
}

void frmPrintSelected::printSelected() {
    std::vector<int> selected;
    for (int row = 0; row < m_lbNameDisplay->count(); ++row) {
        if (m_lbNameDisplay->item(row)->isSelected()) {
            selected.push_back(row + 1);
        }
    }
    m_busy = true;
    runPrintRun(this, m_state, m_services, m_pdfFolder, m_profileChart, selected, "print selected",
                [this, &selected](ReportRuns& runs) {
                    runs.printSelected(m_state.clients, selected, m_state.reportOption,
                                       [this, &selected](std::size_t k) {
                                           m_lbNameDisplay->setCurrentRow(
                                               selected[k] - 1, QItemSelectionModel::NoUpdate);
                                       });
                });
    m_busy = false;
    accept();
}

} // namespace orvj
