#include "clients/frmSupervisorOptions.h"

#include "app/AppState.h"
#include "clients/RecordText.h"
#include "clients/ReportRuns.h"
#include "clients/frmPrintSelected.h"
#include "clients/frmVerify.h"
#include "clients/frmViewReport.h"
#include "ui/DeleteNames.h"
#include "ui/FormConventions.h"
#include "ui/InputBoxSecretCodePrompt.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace orvj {
namespace {

const char* const kPrintOptions[3] = {"Print above current client's report",
                                      "Select and print multiple clients' reports",
                                      "Print all clients' reports"};
const char* const kReportOptions[3] = {"Standard Report", "One-page Report", "Both"};

QGroupBox* comments(QWidget* parent, const char* frameName, const char* labelName,
                    const QString& text, QLabel*& label) {
    auto* frame = new QGroupBox(QStringLiteral("Operation Comments"), parent);
    frame->setObjectName(QString::fromLatin1(frameName));
    label = new QLabel(text, frame);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setWordWrap(true);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(label);
    return frame;
}

} // namespace

frmSupervisorOptions::frmSupervisorOptions(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmSupervisorOptions"));
    setWindowTitle(QStringLiteral("Supervisor Options"));
    setModal(true);

    frControls = new QFrame(this);
    frControls->setObjectName(QStringLiteral("frControls"));
    sstSupervisorOperations = new QTabWidget(frControls);
    sstSupervisorOperations->setObjectName(QStringLiteral("sstSupervisorOperations"));

    auto* reportsTab = new QWidget;
    auto* printLayout = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* opt = new QRadioButton(QString::fromLatin1(kPrintOptions[i]), reportsTab);
        opt->setObjectName(QStringLiteral("optPrintOption%1").arg(i));
        opt->installEventFilter(this);
        connect(opt, &QRadioButton::clicked, this, [this, i] { m_printOption = i; });
        optPrintOption[static_cast<std::size_t>(i)] = opt;
        printLayout->addWidget(opt);
    }
    optPrintOption[0]->setChecked(true);
    Frame1 = new QGroupBox(QStringLiteral("Choose Report Operation"), reportsTab);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* reportLayout = new QVBoxLayout(Frame1);
    for (int i = 0; i < 3; ++i) {
        auto* opt = new QRadioButton(QString::fromLatin1(kReportOptions[i]), Frame1);
        opt->setObjectName(QStringLiteral("optReportOption%1").arg(i));
        opt->installEventFilter(this);
        connect(opt, &QRadioButton::clicked, this,
                [this, i] { m_state.reportOption = static_cast<std::int16_t>(i); });
        optReportOption[static_cast<std::size_t>(i)] = opt;
        reportLayout->addWidget(opt);
    }
    optReportOption[0]->setChecked(true);
    auto* reportsLayout = new QHBoxLayout(reportsTab);
    reportsLayout->addLayout(printLayout);
    reportsLayout->addWidget(Frame1);

    auto* verifyTab = new QWidget;
    Frame3 = comments(verifyTab, "Frame3", "Label1",
                      QStringLiteral("This gives you the opportunity to re-enter the client's "
                                     "responses from the answer sheet.  After you enter the "
                                     "responses, any differences from what was just entered and "
                                     "what was previously stored will be reported.  This gives "
                                     "you the opportunity to correct any errors."),
                      Label1);
    (new QVBoxLayout(verifyTab))->addWidget(Frame3);

    auto* deleteTab = new QWidget;
    Frame4 = comments(deleteTab, "Frame4", "Label2",
                      QStringLiteral("This operation will delete the client's name and ID number "
                                     "from the client database.  USE WITH CAUTION!  Once the name "
                                     "and number have been deleted on this data disk, they CANNOT "
                                     "be retrieved.  All other associated client data, "
                                     "demographics and responses will NOT be deleted.  Use this "
                                     "operation to protect client confidentiality when you are "
                                     "done with the disk."),
                      Label2);
    (new QVBoxLayout(deleteTab))->addWidget(Frame4);

    sstSupervisorOperations->addTab(reportsTab, QStringLiteral("&Reports"));
    sstSupervisorOperations->addTab(verifyTab, QStringLiteral("&Verify Data"));
    sstSupervisorOperations->addTab(deleteTab, QStringLiteral("&Delete Names"));
    sstSupervisorOperations->tabBar()->installEventFilter(this);
    connect(sstSupervisorOperations, &QTabWidget::currentChanged, this,
            &frmSupervisorOptions::tabChanged);

    frCurrentClient = new QGroupBox(QStringLiteral("Current Client"), frControls);
    frCurrentClient->setObjectName(QStringLiteral("frCurrentClient"));
    lblNameDisplay = new QLabel(QStringLiteral("No Clients"), frCurrentClient);
    lblNameDisplay->setObjectName(QStringLiteral("lblNameDisplay"));
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    lblNameDisplay->setFont(fixed);
    (new QVBoxLayout(frCurrentClient))->addWidget(lblNameDisplay);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeMenuChoice(frControls, 0, QStringLiteral("Execute Selection")));
    buttons->addWidget(makeMenuChoice(frControls, 1, QStringLiteral("Go to Main Menu")));
    buttons->addStretch();

    auto* inner = new QVBoxLayout(frControls);
    inner->addWidget(sstSupervisorOperations, 1);
    inner->addWidget(frCurrentClient);
    inner->addLayout(buttons);

    MsgPanel = makeMsgPanel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frControls, 1);
    layout->addWidget(MsgPanel);
    setMinimumSize(twipsToPixels(9000), twipsToPixels(6000));

    m_choices = new MenuChoices(this, MsgPanel, true);
    m_choices->add(0, QStringLiteral("Perform the selected operation."));
    m_choices->add(1, QStringLiteral("Close the Utilities window returning to the Main Menu."));
    connect(m_choices, &MenuChoices::chosen, this, &frmSupervisorOptions::choose);

    load();
}

QString frmSupervisorOptions::currentName() const {
    return toScreen(m_state.clients.current().field(ClientRecord::Field::Name));
}

void frmSupervisorOptions::load() {
    m_lastTab = 0;
    m_printOption = 0;
    m_noClients = false;
    m_state.reportOption = 0;
    if (m_state.clients.clientCount > 0) {
        lblNameDisplay->setText(currentName());
    } else {
        m_noClients = true;
    }
}

void frmSupervisorOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        CenterForm(this);
        setColors(sstSupervisorOperations, Colors::blue(), Colors::white());
        QTimer::singleShot(0, this, &frmSupervisorOptions::activate);
    }
}

void frmSupervisorOptions::activate() {
    ClearHighlights(this, 1);
    if (m_noClients) {
        m_services.messages->show(this, QStringLiteral("Empty Data Disk"),
                                  QStringLiteral("There are no clients on this data disk.\n"
                                                 "Returning to main menu."),
                                  MessageService::Icon::Information);
        reject();
    }
}

void frmSupervisorOptions::tabChanged(int tab) {
    if (tab == m_lastTab) {
        return;
    }
    m_lastTab = tab;
    switch (tab) {
    case 0:
        MsgPanel->clear();
        lblNameDisplay->setText(currentName());
        optPrintOption[static_cast<std::size_t>(m_printOption)]->setChecked(true);
        break;
    case 1:
        MsgPanel->setText(QStringLiteral("Click Execute to perform data verification."));
        lblNameDisplay->setText(currentName());
        break;
    default:
        MsgPanel->setText(QStringLiteral("Click Execute to perform delete names operation."));
        lblNameDisplay->setText(QStringLiteral("All Clients"));
        break;
    }
}

bool frmSupervisorOptions::eventFilter(QObject* watched, QEvent* event) {
    const bool in = event->type() == QEvent::FocusIn;
    const bool out = event->type() == QEvent::FocusOut;
    if (!in && !out) {
        return QDialog::eventFilter(watched, event);
    }
    if (watched == sstSupervisorOperations->tabBar()) {
        if (in) {
            setColors(sstSupervisorOperations, Colors::cyan(), Colors::black());
        } else {
            setColors(sstSupervisorOperations, Colors::blue(), Colors::white());
        }
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        for (int group = 0; group < 2; ++group) {
            QRadioButton* opt = group == 0 ? optPrintOption[static_cast<std::size_t>(i)]
                                           : optReportOption[static_cast<std::size_t>(i)];
            if (watched != opt) {
                continue;
            }
            setBold(opt, in);
            if (in) {
                MsgPanel->setText(
                    group == 0
                        ? QStringLiteral("Use the arrow keys or mouse to choose print operation.")
                        : QStringLiteral("Use the arrow keys or mouse to choose report option."));
            }
            return false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSupervisorOptions::choose(int index) {
    if (index == 0) {
        executeSelection();
    }
    reject();
}

void frmSupervisorOptions::executeSelection() {
    switch (sstSupervisorOperations->currentIndex()) {
    case 0:
        reports();
        return;
    case 1:
        if (currentClientChosen()) {
            frmVerify(m_state, m_services, this).exec();
        }
        return;
    default:
        DeleteNames(m_state, m_services, this);
        return;
    }
}

bool frmSupervisorOptions::currentClientChosen() {
    const int current = m_state.clients.currentClient;
    if (current >= 1 && current <= m_state.clients.clientCount) {
        return true;
    }
    m_services.messages->show(this, appTitle(),
                              QStringLiteral("No client is chosen. Choose a client in the Client "
                                             "List first."),
                              MessageService::Icon::Information);
    return false;
}

void frmSupervisorOptions::reports() {
    bool accepted = false;
    if (m_services.secretCode != nullptr) {
        accepted = m_services.secretCode->AskSecretCode(this);
    } else {
        accepted = InputBoxSecretCodePrompt(*m_services.messages).AskSecretCode(this);
    }
    if (!accepted) {
        return;
    }
    switch (m_printOption) {
    case 0:
        if (currentClientChosen()) {
            frmViewReport(m_state, m_services, this).exec();
        }
        return;
    case 1:
        frmPrintSelected(m_state, m_services, this).exec();
        return;
    default:
        printAll();
        return;
    }
}

void frmSupervisorOptions::printAll() {
    MOUSEWAIT();
    QString fault;
    try {
        ReportRuns(*m_services.reports, m_state.paths.home)
            .printAll(m_state.clients, m_state.reportOption);
    } catch (const ReportRunError& e) {
        fault = QString::fromStdString(e.message());
    }
    MOUSEDEFAULT();
    if (!fault.isEmpty()) {
        m_services.messages->show(this, appTitle(), fault, MessageService::Icon::Critical);
    }
}

} // namespace orvj
