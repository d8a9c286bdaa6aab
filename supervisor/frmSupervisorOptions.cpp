#include "supervisor/frmSupervisorOptions.h"

#include "clients/frmPrintSelected.h"
#include "clients/frmViewReport.h"
#include "core/AppState.h"
#include "scoring/CriticalCases.h"
#include "scoring/ReportRuns.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "supervisor/DeleteNames.h"
#include "supervisor/frmVerify.h"
#include "ui/Attempt.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/PrintRun.h"
#include "ui/RecordText.h"
#include "ui/SecretCodePrompt.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QSpacerItem>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace orvj {
namespace {

const char* const kPrintOptions[3] = {"Print above current client's report",
                                      "Select and print multiple clients' reports",
                                      "Print all clients' reports"};
const char* const kReportOptions[3] = {"Standard Report", "One-page Report", "Both"};

QString printOptionHelp() {
    return QStringLiteral("Use the arrow keys or mouse to choose print operation.");
}
QString reportOptionHelp() {
    return QStringLiteral("Use the arrow keys or mouse to choose report option.");
}
QString pdfFolderHelp() {
    return QStringLiteral("Write each report of a multiple or all clients' run as a PDF file in "
                          "a folder instead of printing it.");
}

QString profileChartHelp() {
    return QStringLiteral("Print each multiple or all clients' report with its profile chart on "
                          "a sheet after it.");
}
QString maximumScalesHelp() {
    return QStringLiteral("How many scales in the maximum range make a critical case (0: none).");
}
QString problemScalesHelp() {
    return QStringLiteral("How many scales in the problem range make a critical case (0: none).");
}
QString invalidTruthfulnessHelp() {
    return QStringLiteral("Whether an invalid Truthfulness scale makes a critical case.");
}

constexpr int kCriticalTab = 3;

QGroupBox* comments(QWidget* parent, const char* frameName, const char* labelName,
                    const QString& text, QLabel*& label) {
    auto* frame = new QGroupBox(QStringLiteral("Operation Comments"), parent);
    frame->setObjectName(QString::fromLatin1(frameName));
    label = new QLabel(text, frame);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    // The tab pages are stacked, which passes on no height-for-width: the label asks for the
    // height its text needs at its narrowest.
    label->setMinimumWidth(twipsToPixels(5000));
    label->setMinimumHeight(label->heightForWidth(label->minimumWidth()));
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

    m_frControls = new QFrame(this);
    m_frControls->setObjectName(QStringLiteral("frControls"));
    m_sstSupervisorOperations = new QTabWidget(m_frControls);
    m_sstSupervisorOperations->setObjectName(QStringLiteral("sstSupervisorOperations"));

    auto* reportsTab = new QWidget;
    auto* printLayout = new QVBoxLayout;
    // Lowered on show to the first row of "Choose Report Operation", so the two columns' options
    // stand on the same lines.
    m_printColumnTop = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    printLayout->addSpacerItem(m_printColumnTop);
    for (int i = 0; i < 3; ++i) {
        auto* opt = new QRadioButton(QString::fromLatin1(kPrintOptions[i]), reportsTab);
        opt->setObjectName(QStringLiteral("optPrintOption%1").arg(i));
        opt->installEventFilter(this);
        connect(opt, &QRadioButton::clicked, this, [this, i] { m_printOption = i; });
        m_optPrintOption[static_cast<std::size_t>(i)] = opt;
        printLayout->addWidget(opt);
    }
    m_optPrintOption[0]->setChecked(true);
    m_chkPdfFolder = new QCheckBox(QStringLiteral("Print to PDF &folder"), reportsTab);
    m_chkPdfFolder->setObjectName(QStringLiteral("chkPdfFolder"));
    m_chkPdfFolder->installEventFilter(this);
    m_chkAddProfileChart = new QCheckBox(QStringLiteral("Add profile c&hart"), reportsTab);
    m_chkAddProfileChart->setObjectName(QStringLiteral("chkAddProfileChart"));
    m_chkAddProfileChart->installEventFilter(this);
    printLayout->addStretch();
    printLayout->addWidget(m_chkPdfFolder);
    printLayout->addWidget(m_chkAddProfileChart);
    m_frame1 = new QGroupBox(QStringLiteral("Choose Report Operation"), reportsTab);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    auto* reportLayout = new QVBoxLayout(m_frame1);
    for (int i = 0; i < 3; ++i) {
        auto* opt = new QRadioButton(QString::fromLatin1(kReportOptions[i]), m_frame1);
        opt->setObjectName(QStringLiteral("optReportOption%1").arg(i));
        opt->installEventFilter(this);
        connect(opt, &QRadioButton::clicked, this,
                [this, i] { m_state.reportOption = static_cast<ReportOption>(i); });
        m_optReportOption[static_cast<std::size_t>(i)] = opt;
        reportLayout->addWidget(opt);
    }
    reportLayout->addStretch();
    m_optReportOption[0]->setChecked(true);
    auto* reportsLayout = new QHBoxLayout(reportsTab);
    reportsLayout->addLayout(printLayout);
    reportsLayout->addWidget(m_frame1);

    auto* verifyTab = new QWidget;
    m_frame3 = comments(verifyTab, "Frame3", "Label1",
                        QStringLiteral("This gives you the opportunity to re-enter the client's "
                                       "responses from the answer sheet.  After you enter the "
                                       "responses, any differences from what was just entered and "
                                       "what was previously stored will be reported.  This gives "
                                       "you the opportunity to correct any errors."),
                        m_label1);
    (new QVBoxLayout(verifyTab))->addWidget(m_frame3);

    auto* deleteTab = new QWidget;
    m_frame4 =
        comments(deleteTab, "Frame4", "Label2",
                 QStringLiteral("This operation will delete the client's name and ID number "
                                "from the client database.  USE WITH CAUTION!  Once the name "
                                "and number have been deleted on this data disk, they CANNOT "
                                "be retrieved.  All other associated client data, "
                                "demographics and responses will NOT be deleted.  Use this "
                                "operation to protect client confidentiality when you are "
                                "done with the disk."),
                 m_label2);
    (new QVBoxLayout(deleteTab))->addWidget(m_frame4);

    // The office's rule for the critical-case mark of the client list and the report viewer.
    auto* criticalTab = new QWidget;
    m_fraCriticalRule =
        new QGroupBox(QStringLiteral("A client is a critical case when"), criticalTab);
    m_fraCriticalRule->setObjectName(QStringLiteral("fraCriticalRule"));
    auto spinBox = [this](const char* name) {
        auto* box = new QSpinBox(m_fraCriticalRule);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(0, CriticalRule::kMostScales);
        box->installEventFilter(this);
        return box;
    };
    m_spnMaximumScales = spinBox("spnMaximumScales");
    m_spnProblemScales = spinBox("spnProblemScales");
    m_chkInvalidTruthfulness =
        new QCheckBox(QStringLiteral("&Truthfulness is invalid"), m_fraCriticalRule);
    m_chkInvalidTruthfulness->setObjectName(QStringLiteral("chkInvalidTruthfulness"));
    m_chkInvalidTruthfulness->installEventFilter(this);
    auto* ruleLayout = new QFormLayout(m_fraCriticalRule);
    auto* maximumLabel =
        new QLabel(QStringLiteral("Scales in the ma&ximum range, at least:"), m_fraCriticalRule);
    maximumLabel->setObjectName(QStringLiteral("lblMaximumScales"));
    maximumLabel->setBuddy(m_spnMaximumScales);
    auto* problemLabel =
        new QLabel(QStringLiteral("or scales in the pro&blem range, at least:"), m_fraCriticalRule);
    problemLabel->setObjectName(QStringLiteral("lblProblemScales"));
    problemLabel->setBuddy(m_spnProblemScales);
    ruleLayout->addRow(maximumLabel, m_spnMaximumScales);
    ruleLayout->addRow(problemLabel, m_spnProblemScales);
    ruleLayout->addRow(QStringLiteral("or"), m_chkInvalidTruthfulness);
    (new QVBoxLayout(criticalTab))->addWidget(m_fraCriticalRule);
    const CriticalRule rule = CriticalRule::read(ConfigFile(m_state.paths.configFile));
    m_spnMaximumScales->setValue(rule.maximumScales);
    m_spnProblemScales->setValue(rule.problemScales);
    m_chkInvalidTruthfulness->setChecked(rule.invalidTruthfulness);

    m_sstSupervisorOperations->addTab(reportsTab, QStringLiteral("&Reports"));
    m_sstSupervisorOperations->addTab(verifyTab, QStringLiteral("&Verify Data"));
    m_sstSupervisorOperations->addTab(deleteTab, QStringLiteral("&Delete Names"));
    m_sstSupervisorOperations->addTab(criticalTab, QStringLiteral("&Critical Cases"));
    m_sstSupervisorOperations->tabBar()->installEventFilter(this);
    // The tab pages paint the tab area's colour, so the whole area is blue or cyan.
    for (QWidget* page : {reportsTab, verifyTab, deleteTab, criticalTab}) {
        page->setAutoFillBackground(true);
    }
    connect(m_sstSupervisorOperations, &QTabWidget::currentChanged, this,
            &frmSupervisorOptions::tabChanged);

    m_frCurrentClient = new QGroupBox(QStringLiteral("Current Client"), m_frControls);
    m_frCurrentClient->setObjectName(QStringLiteral("frCurrentClient"));
    m_lblNameDisplay = new QLabel(QStringLiteral("No Clients"), m_frCurrentClient);
    m_lblNameDisplay->setObjectName(QStringLiteral("lblNameDisplay"));
    m_lblNameDisplay->setTextFormat(Qt::PlainText);
    (new QVBoxLayout(m_frCurrentClient))->addWidget(m_lblNameDisplay);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeMenuChoice(m_frControls, 0, QStringLiteral("Execute Selection")));
    buttons->addWidget(makeMenuChoice(m_frControls, 1, QStringLiteral("Go to Main Menu")));
    buttons->addStretch();

    auto* inner = new QVBoxLayout(m_frControls);
    inner->addWidget(m_sstSupervisorOperations, 1);
    inner->addWidget(m_frCurrentClient);
    inner->addLayout(buttons);

    m_msgPanel = makeMsgPanel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_frControls, 1);
    layout->addWidget(m_msgPanel);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    m_choices->add(0, QStringLiteral("Perform the selected operation."));
    m_choices->add(1, QStringLiteral("Close the Utilities window returning to the Main Menu."));
    connect(m_choices, &MenuChoices::chosen, this, &frmSupervisorOptions::choose);

    for (std::size_t i = 0; i < 3; ++i) {
        describeControl(m_optPrintOption[i], m_optPrintOption[i]->text(), printOptionHelp(),
                        m_msgPanel);
        describeControl(m_optReportOption[i], m_optReportOption[i]->text(), reportOptionHelp(),
                        m_msgPanel);
        keepBoldRoom(m_optPrintOption[i]);
        keepBoldRoom(m_optReportOption[i]);
        connect(m_optPrintOption[i], &QRadioButton::toggled, this,
                &frmSupervisorOptions::keepOneTabStop);
        connect(m_optReportOption[i], &QRadioButton::toggled, this,
                &frmSupervisorOptions::keepOneTabStop);
    }
    describeControl(m_chkPdfFolder, m_chkPdfFolder->text(), pdfFolderHelp(), m_msgPanel);
    keepBoldRoom(m_chkPdfFolder);
    describeControl(m_chkAddProfileChart, m_chkAddProfileChart->text(), profileChartHelp(),
                    m_msgPanel);
    keepBoldRoom(m_chkAddProfileChart);
    describeControl(m_spnMaximumScales, maximumLabel->text().remove(QLatin1Char('&')),
                    maximumScalesHelp(), m_msgPanel);
    describeControl(m_spnProblemScales, problemLabel->text().remove(QLatin1Char('&')),
                    problemScalesHelp(), m_msgPanel);
    describeControl(m_chkInvalidTruthfulness, m_chkInvalidTruthfulness->text(),
                    invalidTruthfulnessHelp(), m_msgPanel);
    keepBoldRoom(m_chkInvalidTruthfulness);
    for (int tab = 0; tab <= kCriticalTab; ++tab) {
        reserveHelpLine(m_msgPanel, tabHelpLine(tab));
    }
    describeControl(m_sstSupervisorOperations->tabBar(), QStringLiteral("Supervisor Operations"),
                    tabHelpLine(0));
    // Each option group is one Tab stop, entered at its chosen option; the arrow keys move
    // inside the group.
    setTabOrder(m_sstSupervisorOperations->tabBar(), m_optPrintOption[0]);
    setTabOrder(m_optPrintOption[0], m_optPrintOption[1]);
    setTabOrder(m_optPrintOption[1], m_optPrintOption[2]);
    setTabOrder(m_optPrintOption[2], m_optReportOption[0]);
    setTabOrder(m_optReportOption[0], m_optReportOption[1]);
    setTabOrder(m_optReportOption[1], m_optReportOption[2]);
    setTabOrder(m_optReportOption[2], m_chkPdfFolder);
    setTabOrder(m_chkPdfFolder, m_chkAddProfileChart);
    setTabOrder(m_chkAddProfileChart, m_spnMaximumScales);
    setTabOrder(m_spnMaximumScales, m_spnProblemScales);
    setTabOrder(m_spnProblemScales, m_chkInvalidTruthfulness);
    setTabOrder(m_chkInvalidTruthfulness, menuButton(this, 0));
    setTabOrder(menuButton(this, 0), menuButton(this, 1));
    keepOneTabStop();

    m_pickPdfFolder = [](QWidget* owner) {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QFileDialog::getExistingDirectory(
            owner, QStringLiteral("Folder for the PDF Reports"),
            documents.isEmpty() ? QDir::homePath() : documents);
    };

    sizeToLayout(this, 9000, 6000);
    load();
}

QString frmSupervisorOptions::tabHelpLine(int tab) const {
    switch (tab) {
    case 0:
        return {};
    case 1:
        return QStringLiteral("Click Execute to perform data verification.");
    case 2:
        return QStringLiteral("Click Execute to perform delete names operation.");
    default:
        return QStringLiteral("Click Execute to save the critical-case rule.");
    }
}

void frmSupervisorOptions::keepOneTabStop() {
    for (const auto& group : {m_optPrintOption, m_optReportOption}) {
        for (QRadioButton* opt : group) {
            opt->setFocusPolicy(opt->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        }
    }
}

QWidget* frmSupervisorOptions::tabStopAfter(QObject* from, int key) const {
    // The focus chain leaves the radio groups to the style's own rules, which skip the report
    // options; the two groups and the check box are linked here.
    auto checkedOf = [](const std::array<QRadioButton*, 3>& group) -> QWidget* {
        for (QRadioButton* opt : group) {
            if (opt->isChecked()) {
                return opt;
            }
        }
        return group[0];
    };
    auto inGroup = [from](const std::array<QRadioButton*, 3>& group) {
        return std::find(group.begin(), group.end(), from) != group.end();
    };
    if (key == Qt::Key_Tab && inGroup(m_optPrintOption)) {
        return checkedOf(m_optReportOption);
    }
    if (key == Qt::Key_Backtab && inGroup(m_optReportOption)) {
        return checkedOf(m_optPrintOption);
    }
    if (key == Qt::Key_Backtab && from == m_chkPdfFolder) {
        return checkedOf(m_optReportOption);
    }
    return nullptr;
}

void frmSupervisorOptions::optionKey(int group, int index, int step) {
    const auto& options = group == 0 ? m_optPrintOption : m_optReportOption;
    const int next = std::clamp(index + step, 0, 2);
    if (next == index) {
        return;
    }
    QRadioButton* opt = options[static_cast<std::size_t>(next)];
    opt->click();
    opt->setFocus(Qt::OtherFocusReason);
}

QString frmSupervisorOptions::currentName() const {
    return toScreen(m_state.clients.current().field(ClientRecord::Field::Name));
}

void frmSupervisorOptions::load() {
    m_lastTab = 0;
    m_printOption = 0;
    m_noClients = false;
    m_state.reportOption = ReportOption::Standard;
    if (m_state.clients.clientCount > 0) {
        m_lblNameDisplay->setText(currentName());
    } else {
        m_noClients = true;
    }
}

void frmSupervisorOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        alignReportColumns();
        CenterForm(this);
        setColors(m_sstSupervisorOperations, Colors::blue, Colors::white);
        QTimer::singleShot(0, this, &frmSupervisorOptions::activate);
    }
}

void frmSupervisorOptions::alignReportColumns() {
    QWidget* tab = m_optPrintOption[0]->parentWidget();
    tab->layout()->activate();
    m_frame1->layout()->activate();
    const int drop = m_optReportOption[0]->mapTo(tab, QPoint(0, 0)).y() -
                     m_optPrintOption[0]->mapTo(tab, QPoint(0, 0)).y();
    if (drop > 0) {
        m_printColumnTop->changeSize(0, drop, QSizePolicy::Minimum, QSizePolicy::Fixed);
        tab->layout()->invalidate();
        tab->layout()->activate();
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
    m_msgPanel->setText(tabHelpLine(tab));
    m_sstSupervisorOperations->tabBar()->setAccessibleDescription(tabHelpLine(tab));
    switch (tab) {
    case 0:
        m_lblNameDisplay->setText(currentName());
        m_optPrintOption[static_cast<std::size_t>(m_printOption)]->setChecked(true);
        break;
    case 1:
        m_lblNameDisplay->setText(currentName());
        break;
    default:
        // Deleting names and the critical-case rule concern every client.
        m_lblNameDisplay->setText(QStringLiteral("All Clients"));
        break;
    }
}

bool frmSupervisorOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (QWidget* stop = tabStopAfter(watched, key)) {
            stop->setFocus(key == Qt::Key_Tab ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
        const int step = key == Qt::Key_Up || key == Qt::Key_Left      ? -1
                         : key == Qt::Key_Down || key == Qt::Key_Right ? 1
                                                                       : 0;
        for (int i = 0; i < 3 && step != 0; ++i) {
            for (int group = 0; group < 2; ++group) {
                const auto& options = group == 0 ? m_optPrintOption : m_optReportOption;
                if (watched == options[static_cast<std::size_t>(i)]) {
                    optionKey(group, i, step);
                    return true;
                }
            }
        }
        return QDialog::eventFilter(watched, event);
    }
    const bool in = event->type() == QEvent::FocusIn;
    const bool out = event->type() == QEvent::FocusOut;
    if (!in && !out) {
        return QDialog::eventFilter(watched, event);
    }
    if (watched == m_chkPdfFolder) {
        setBold(m_chkPdfFolder, in);
        if (in) {
            m_msgPanel->setText(pdfFolderHelp());
        }
        return false;
    }
    if (watched == m_chkAddProfileChart) {
        setBold(m_chkAddProfileChart, in);
        if (in) {
            m_msgPanel->setText(profileChartHelp());
        }
        return false;
    }
    if (watched == m_chkInvalidTruthfulness) {
        setBold(m_chkInvalidTruthfulness, in);
        if (in) {
            m_msgPanel->setText(invalidTruthfulnessHelp());
        }
        return false;
    }
    if (watched == m_spnMaximumScales || watched == m_spnProblemScales) {
        if (in) {
            m_msgPanel->setText(watched == m_spnMaximumScales ? maximumScalesHelp()
                                                              : problemScalesHelp());
        }
        return false;
    }
    if (watched == m_sstSupervisorOperations->tabBar()) {
        if (in) {
            m_msgPanel->setText(tabHelpLine(m_sstSupervisorOperations->currentIndex()));
            setColors(m_sstSupervisorOperations, Colors::cyan, Colors::black);
        } else {
            setColors(m_sstSupervisorOperations, Colors::blue, Colors::white);
        }
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        for (int group = 0; group < 2; ++group) {
            QRadioButton* opt = group == 0 ? m_optPrintOption[static_cast<std::size_t>(i)]
                                           : m_optReportOption[static_cast<std::size_t>(i)];
            if (watched != opt) {
                continue;
            }
            setBold(opt, in);
            if (in) {
                m_msgPanel->setText(group == 0 ? printOptionHelp() : reportOptionHelp());
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
    switch (m_sstSupervisorOperations->currentIndex()) {
    case 0:
        reports();
        return;
    case 1:
        if (currentClientChosen()) {
            frmVerify(m_state, m_services, this).exec();
        }
        return;
    case kCriticalTab:
        if (m_services.secretCode->AskSecretCode(this)) {
            saveCriticalRule();
        }
        return;
    default:
        // Name deletion cannot be undone: the supervisor's code comes first, as for reports.
        if (m_services.secretCode->AskSecretCode(this)) {
            DeleteNames(m_state, m_services, this);
        }
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
    if (!m_services.secretCode->AskSecretCode(this)) {
        return;
    }
    m_pdfFolder.clear();
    if (m_printOption != 0 && m_chkPdfFolder->isChecked()) {
        const QString folder = m_pickPdfFolder(this);
        if (folder.isEmpty()) {
            return;
        }
        m_pdfFolder = qStringToPath(folder);
    }
    switch (m_printOption) {
    case 0:
        if (currentClientChosen()) {
            frmViewReport(m_state, m_services, this).exec();
        }
        return;
    case 1: {
        frmPrintSelected selection(m_state, m_services, this);
        selection.setPdfFolder(m_pdfFolder);
        selection.setProfileChart(m_chkAddProfileChart->isChecked());
        selection.exec();
        return;
    }
    default:
        printAll();
        return;
    }
}

void frmSupervisorOptions::saveCriticalRule() {
    CriticalRule rule;
    rule.maximumScales = m_spnMaximumScales->value();
    rule.problemScales = m_spnProblemScales->value();
    rule.invalidTruthfulness = m_chkInvalidTruthfulness->isChecked();
    QString fault;
    try {
        rule.write(ConfigFile(m_state.paths.configFile));
    } catch (const std::exception& e) {
        fault = errorText(e);
    }
    if (!fault.isEmpty()) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("The critical-case rule could not be saved.\n") +
                                      fault,
                                  MessageService::Icon::Critical);
    }
}

void frmSupervisorOptions::printAll() {
    std::vector<int> clients;
    for (int k = 1; k <= m_state.clients.clientCount; ++k) {
        clients.push_back(k);
    }
    runPrintRun(this, m_state, m_services, m_pdfFolder, m_chkAddProfileChart->isChecked(),
                std::move(clients), "print all",
                [this](ReportRuns& runs) { runs.printAll(m_state.clients, m_state.reportOption); });
}

} // namespace orvj
