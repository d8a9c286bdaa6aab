#include "clients/frmPrintSelected.h"

#include "app/AppState.h"
#include "clients/RecordText.h"
#include "clients/ReportRuns.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

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

    fraAll = new QFrame(this);
    fraAll->setObjectName(QStringLiteral("fraAll"));
    txtInstructions = new QPlainTextEdit(fraAll);
    txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    txtInstructions->setReadOnly(true);
    txtInstructions->setFocusPolicy(Qt::NoFocus);
    txtInstructions->setPlainText(instructions());
    txtInstructions->setMinimumWidth(twipsToPixels(3800));

    fraClient = new QGroupBox(QStringLiteral("Client List"), fraAll);
    fraClient->setObjectName(QStringLiteral("fraClient"));
    setColors(fraClient, Colors::blue(), Colors::white());
    lbNameDisplay = new QListWidget(fraClient);
    lbNameDisplay->setObjectName(QStringLiteral("lbNameDisplay"));
    lbNameDisplay->setSelectionMode(QAbstractItemView::MultiSelection);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    lbNameDisplay->setFont(fixed);
    lbNameDisplay->setMinimumWidth(twipsToPixels(4000));
    lbNameDisplay->installEventFilter(this);
    lbNameDisplay->viewport()->installEventFilter(this);
    auto* listLayout = new QVBoxLayout(fraClient);
    listLayout->addWidget(lbNameDisplay);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(makeMenuChoice(fraAll, 0, QStringLiteral("Print Selected")));
    buttons->addWidget(makeMenuChoice(fraAll, 1, QStringLiteral("Select All")));
    buttons->addWidget(makeMenuChoice(fraAll, 2, QStringLiteral("Return to Main Menu")));
    buttons->addStretch();

    auto* inner = new QHBoxLayout(fraAll);
    inner->addWidget(txtInstructions);
    inner->addWidget(fraClient, 1);
    inner->addLayout(buttons);

    MsgPanel = makeMsgPanel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraAll, 1);
    layout->addWidget(MsgPanel);

    m_choices = new MenuChoices(this, MsgPanel, true);
    m_choices->add(0, QStringLiteral("Print selected client reports"));
    m_choices->add(1, QStringLiteral("Select all client reports for printing"));
    m_choices->add(2, QStringLiteral("Cancel selections and printing."));
    connect(m_choices, &MenuChoices::chosen, this, &frmPrintSelected::choose);
    connect(lbNameDisplay, &QListWidget::itemClicked, this, &frmPrintSelected::enableRule);

    setTabOrder(lbNameDisplay, menuButton(this, 0));
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
    if (event->type() != QEvent::ActivationChange || m_busy || !m_shown) {
        return;
    }
    if (!isActiveWindow()) {
        m_wasDeactivated = true;
    } else if (m_wasDeactivated) {
        m_wasDeactivated = false;
        activate();
    }
}

void frmPrintSelected::activate() {
    lbNameDisplay->clear();
    const ClientTable& clients = m_state.clients;
    for (int i = 1; i <= clients.clientCount; ++i) {
        lbNameDisplay->addItem(QString::number(i) + QLatin1Char('-') +
                               toScreen(clients.at(i).field(ClientRecord::Field::Name)));
    }
    if (lbNameDisplay->count() > 0) {
        lbNameDisplay->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }
    enableRule();
}

void frmPrintSelected::enableRule() {
    QListWidgetItem* current = lbNameDisplay->currentItem();
    menuButton(this, 0)->setEnabled(current != nullptr && !current->text().isEmpty());
}

bool frmPrintSelected::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbNameDisplay) {
        switch (event->type()) {
        case QEvent::FocusIn:
            ShowClientListFocus(fraClient, MsgPanel, true);
            enableRule();
            break;
        case QEvent::FocusOut:
            ShowClientListFocus(fraClient, MsgPanel, false);
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
        lbNameDisplay->selectAll();
        enableRule();
        return;
    default:
        reject();
        return;
    }
}

void frmPrintSelected::printSelected() {
    std::vector<int> selected;
    for (int row = 0; row < lbNameDisplay->count(); ++row) {
        if (lbNameDisplay->item(row)->isSelected()) {
            selected.push_back(row + 1);
        }
    }
    m_busy = true;
    MOUSEWAIT();
    QString fault;
    try {
        ReportRuns(*m_services.reports, m_state.paths.home)
            .printSelected(
                m_state.clients, selected, m_state.reportOption, [this, &selected](std::size_t k) {
                    lbNameDisplay->setCurrentRow(selected[k] - 1, QItemSelectionModel::NoUpdate);
                });
    } catch (const ReportRunError& e) {
        fault = QString::fromStdString(e.message());
    }
    MOUSEDEFAULT();
    if (!fault.isEmpty()) {
        m_services.messages->show(this, appTitle(), fault, MessageService::Icon::Critical);
    }
    m_busy = false;
    accept();
}

} // namespace orvj
