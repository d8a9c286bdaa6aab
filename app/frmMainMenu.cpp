#include "app/frmMainMenu.h"

#include "app/MenuPath.h"
#include "app/frmAbout.h"
#include "clients/frmCompare.h"
#include "core/AppState.h"
#include "scoring/CriticalCases.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "ui/FormConventions.h"
#include "ui/FormLauncher.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/RecordText.h"
#include "ui/SecretCodePrompt.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>

namespace orvj {
namespace {

const char* const kHelpLines[] = {
    "Edit client's information.",
    "Enter a new client. Test client on computer or enter data from answer sheet.",
    "Print client report, verify data entry or delete client names.",
    "Quit the program.",
};

const char* const kCaptions[] = {"Edit Current Client", "Add New Client", "Supervisor Options",
                                 "Exit Application"};

} // namespace

frmMainMenu::frmMainMenu(AppState& state, Services& services, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmMainMenu"));
    setWindowTitle(appTitle());

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    m_frMainMenu = new QFrame(central);
    m_frMainMenu->setObjectName(QStringLiteral("frMainMenu"));
    auto* grid = new QGridLayout(m_frMainMenu);
    grid->setHorizontalSpacing(twipsToPixels(240));

    m_fraClient = new QGroupBox(QStringLiteral("Client List"), m_frMainMenu);
    m_fraClient->setObjectName(QStringLiteral("fraClient"));
    auto* clientLayout = new QVBoxLayout(m_fraClient);
    m_lbNameDisplay = new QListWidget(m_fraClient);
    m_lbNameDisplay->setObjectName(QStringLiteral("lbNameDisplay"));
    m_lbNameDisplay->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lbNameDisplay->setMinimumSize(twipsToPixels(3600), twipsToPixels(3000));
    // The list keeps its own colours and weight while the frame around it changes.
    QPalette listPalette = m_lbNameDisplay->palette();
    listPalette.setColor(QPalette::Base, Colors::white);
    listPalette.setColor(QPalette::Text, Colors::black);
    listPalette.setColor(QPalette::Window, Colors::white);
    listPalette.setColor(QPalette::WindowText, Colors::black);
    m_lbNameDisplay->setPalette(listPalette);
    QFont listFont = m_lbNameDisplay->font();
    listFont.setBold(false);
    m_lbNameDisplay->setFont(listFont);
    // The list shows a record number of two digits, a name of 25 characters and the critical
    // mark whole.
    const QFontMetrics listMetrics(listFont);
    m_lbNameDisplay->setMinimumWidth(
        std::max(m_lbNameDisplay->minimumWidth(),
                 widestText(listMetrics, 29 + static_cast<int>(std::strlen(kCriticalMark))) +
                     2 * m_lbNameDisplay->frameWidth() + 16 +
                     m_lbNameDisplay->verticalScrollBar()->sizeHint().width()));
    clientLayout->addWidget(m_lbNameDisplay);
    setColors(m_fraClient, Colors::blue, Colors::white);
    keepBoldRoom(m_fraClient);
    grid->addWidget(m_fraClient, 0, 0, 6, 1);

    m_imgQLNLogo = new QLabel(m_frMainMenu);
    m_imgQLNLogo->setObjectName(QStringLiteral("imgQLNLogo"));
    m_imgQLNLogo->setPixmap(frmAbout::DrawLogo(twipsToPixels(1200)));
    grid->addWidget(m_imgQLNLogo, 0, 1, Qt::AlignHCenter);
    for (int i = 0; i <= kLastChoice; ++i) {
        QWidget* panel = makeMenuChoice(m_frMainMenu, i, QString::fromLatin1(kCaptions[i]));
        grid->addWidget(panel, 1 + i, 1);
    }
    m_msgPanel = makeMsgPanel(m_frMainMenu);
    grid->addWidget(m_msgPanel, 6, 0, 1, 2);
    // A list taller than the choices beside it leaves them together under the logo.
    grid->setRowStretch(5, 1);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    for (int i = 0; i <= kLastChoice; ++i) {
        m_choices->add(i, QString::fromLatin1(kHelpLines[i]));
    }
    describeControl(m_lbNameDisplay, m_fraClient->title(), clientListHelpLine(), m_msgPanel);
    connect(m_choices, &MenuChoices::chosen, this, &frmMainMenu::MenuChoice);

    setTabOrder(m_lbNameDisplay, m_choices->button(0));
    for (int i = 0; i < kLastChoice; ++i) {
        setTabOrder(m_choices->button(i), m_choices->button(i + 1));
    }

    m_lbNameDisplay->installEventFilter(this);
    connect(m_lbNameDisplay, &QListWidget::itemSelectionChanged, this, [this] {
        ChooseClient();
        UpdateEditButton();
    });

    BuildMenuBar();

    m_timNumLock = new QTimer(this);
    m_timNumLock->setObjectName(QStringLiteral("timNumLock"));
    m_timNumLock->setInterval(1000);
    // The keyboard's Num Lock state is left to the user and the system; the tick is kept as
    // the one place that would force it.
    connect(m_timNumLock, &QTimer::timeout, this, [] {});
    m_timNumLock->start();

    // Every line of the list is as tall as this one: the list is sized in whole lines.
    m_lbNameDisplay->addItem(QStringLiteral("00-"));
    m_listRowHeight = std::max(1, m_lbNameDisplay->sizeHintForRow(0));
    m_lbNameDisplay->clear();
    m_listLeastHeight = m_lbNameDisplay->minimumHeight();
    setListRows(0);
    central->setMinimumSize(m_frMainMenu->width(), m_frMainMenu->height() + twipsToPixels(1000));
    resize(std::max(twipsToPixels(10500), m_frMainMenu->width() + twipsToPixels(600)),
           std::max(twipsToPixels(7800), m_frMainMenu->height() + twipsToPixels(2200)));
}

void frmMainMenu::BuildMenuBar() {
    QMenuBar* bar = menuBar();
    m_mnuExit = bar->addAction(QStringLiteral("E&xit!"));
    m_mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(m_mnuExit, &QAction::triggered, this, [this] { MenuChoice(ExitApplication); });

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    m_mnuInstallVoiceFiles = options->addAction(QStringLiteral("&Install Voice Files..."));
    m_mnuInstallVoiceFiles->setObjectName(QStringLiteral("mnuInstallVoiceFiles"));
    connect(m_mnuInstallVoiceFiles, &QAction::triggered, this,
            [this] { RunPath([this] { m_services.forms->showInstallVoiceFiles(this); }); });
    // The office's own inventory and data folder: supervisor utilities, behind the secret code.
    m_mnuInstallInventory = options->addAction(QStringLiteral("Install &Inventory Files..."));
    m_mnuInstallInventory->setObjectName(QStringLiteral("mnuInstallInventory"));
    connect(m_mnuInstallInventory, &QAction::triggered, this,
            [this] { RunGuarded([this] { m_services.forms->showInstallInventory(this); }); });
    m_mnuDataFolder = options->addAction(QStringLiteral("&Data Folder..."));
    m_mnuDataFolder->setObjectName(QStringLiteral("mnuDataFolder"));
    connect(m_mnuDataFolder, &QAction::triggered, this, [this] {
        RunGuarded([this] { m_services.forms->showDataFolder(this); });
        // The form may have loaded another client file, perhaps an empty one: the list is
        // built anew from the table as it is now.
        RebuildList();
        m_state.testStored = true;
        Activation();
    });
    m_mnuChangeSecretCode = options->addAction(QStringLiteral("Change &Secret Code..."));
    m_mnuChangeSecretCode->setObjectName(QStringLiteral("mnuChangeSecretCode"));
    connect(m_mnuChangeSecretCode, &QAction::triggered, this,
            [this] { RunGuarded([this] { m_services.forms->showChangeSecretCode(this); }); });
    m_mnuAuditTrail = options->addAction(QStringLiteral("Audit &Trail..."));
    m_mnuAuditTrail->setObjectName(QStringLiteral("mnuAuditTrail"));
    connect(m_mnuAuditTrail, &QAction::triggered, this,
            [this] { RunGuarded([this] { m_services.forms->showAuditTrail(this); }); });
    m_mnuRestoreBackup = options->addAction(QStringLiteral("Restore &Backup..."));
    m_mnuRestoreBackup->setObjectName(QStringLiteral("mnuRestoreBackup"));
    connect(m_mnuRestoreBackup, &QAction::triggered, this, [this] {
        RunGuarded([this] { m_services.forms->showRestoreBackup(this); });
        // A restored file may hold other clients: the list is built anew.
        RebuildList();
        m_state.testStored = true;
        Activation();
    });
    m_mnuCompare = options->addAction(QStringLiteral("Compare &Retests..."));
    m_mnuCompare->setObjectName(QStringLiteral("mnuCompare"));
    m_mnuCompare->setEnabled(false);
    connect(m_mnuCompare, &QAction::triggered, this,
            [this] { RunGuarded([this] { m_services.forms->showCompare(this); }); });
    m_mnuStatistics = options->addAction(QStringLiteral("S&tatistics..."));
    m_mnuStatistics->setObjectName(QStringLiteral("mnuStatistics"));
    connect(m_mnuStatistics, &QAction::triggered, this,
            [this] { RunGuarded([this] { m_services.forms->showStatistics(this); }); });
    QAction* separator = options->addSeparator();
    separator->setObjectName(QStringLiteral("mnuSeparator"));
    m_mnuNumLock = options->addAction(QStringLiteral("&Num Lock Always On"));
    m_mnuNumLock->setObjectName(QStringLiteral("mnuNumLock"));
    m_mnuNumLock->setCheckable(true);
    m_mnuNumLock->setChecked(m_numLock);
    // The option changes only through ToggleNumLock, which also writes it.
    connect(m_mnuNumLock, &QAction::triggered, this, [this] { ToggleNumLock(); });

    m_mnuAbout = bar->addAction(QStringLiteral("&About..."));
    m_mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(m_mnuAbout, &QAction::triggered, this, &frmMainMenu::ShowAbout);
}

QString frmMainMenu::ListLine(const AppState& state, int record, bool critical) {
    const std::string_view name = state.clients.at(record).field(ClientRecord::Field::Name);
    const QString line = QString::number(record) + QLatin1Char('-') + toScreen(name);
    return critical ? line + QLatin1Char(' ') + QLatin1String(kCriticalMark) : line;
}

void frmMainMenu::RebuildList() {
    m_lbNameDisplay->clear();
    const std::vector<bool> critical =
        criticalClients(m_state.clients, m_state.paths.home, m_state.paths.configFile);
    for (int k = 1; k <= m_state.clients.clientCount; ++k) {
        const bool flagged = critical[static_cast<std::size_t>(k)];
        auto* item = new QListWidgetItem(ListLine(m_state, k, flagged), m_lbNameDisplay);
        item->setData(Qt::UserRole, k);
        if (flagged) {
            item->setToolTip(QString::fromLatin1(kCriticalMeaning));
        }
    }
    UpdateCompare();
}

void frmMainMenu::ChooseClient() {
    const QList<QListWidgetItem*> selected = m_lbNameDisplay->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    bool ok = false;
    const int record = selected.first()->data(Qt::UserRole).toInt(&ok);
    if (ok && record >= 1 && record <= m_state.clients.clientCount) {
        m_state.clients.currentClient = static_cast<std::int16_t>(record);
    }
    UpdateCompare();
}

void frmMainMenu::UpdateCompare() {
    const bool chosen = !m_lbNameDisplay->selectedItems().isEmpty();
    m_mnuCompare->setEnabled(chosen && frmCompare::TestCount(m_state) > 1);
}

void frmMainMenu::UpdateEditButton() {
    const QList<QListWidgetItem*> selected = m_lbNameDisplay->selectedItems();
    const bool hasText = !selected.isEmpty() && !selected.first()->text().isEmpty();
    m_choices->button(EditCurrentClient)->setEnabled(hasText);
}

void frmMainMenu::Activation() {
    FitList();
    ClearHighlights(this, kLastChoice);
    UpdateEditButton();
    if (m_state.clients.clientCount >= 1 && m_state.testStored) {
        RebuildList();
    }
    if (!m_state.clients.untoldNotice.empty()) {
        const QString notice = QString::fromStdString(m_state.clients.untoldNotice);
        m_state.clients.untoldNotice.clear();
        m_services.messages->show(this, appTitle(), notice, MessageService::Icon::Information);
    }
    DisableEdit();
    if (m_closeOthers) {
        CloseOtherForms();
        // Acted on once: the forms of the other paths then stay loaded until the next Edit path.
        m_closeOthers = false;
    }
}

void frmMainMenu::DisableEdit() {
    QAbstractButton* edit = m_choices->button(EditCurrentClient);
    // A disabled button cannot keep the focus: it goes to the list, lit as the list, rather
    // than to whatever follows in the chain, which would get it without its highlight while
    // this window is behind another.
    const bool hadFocus = edit->hasFocus() || focusWidget() == edit;
    edit->setEnabled(false);
    if (hadFocus) {
        FocusList();
    }
}

void frmMainMenu::FocusList() {
    if (m_state.clients.clientCount < 1) {
        m_choices->button(AddNewClient)->setFocus(Qt::OtherFocusReason);
        HighlightChoice(this, kLastChoice, AddNewClient);
        m_msgPanel->setText(QString::fromLatin1(kHelpLines[AddNewClient]));
        return;
    }
    m_lbNameDisplay->setFocus(Qt::OtherFocusReason);
    // The focus event does not come while the window is inactive: light the list here.
    ClearHighlights(this, kLastChoice);
    ShowClientListFocus(m_fraClient, m_msgPanel, true);
}

void frmMainMenu::CloseOtherForms() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w == this || qobject_cast<QMenu*>(w) != nullptr) {
            continue;
        }
        if (qobject_cast<QDialog*>(w) != nullptr || qobject_cast<QMainWindow*>(w) != nullptr) {
            w->close();
        }
    }
}

void frmMainMenu::RunPath(const std::function<void()>& path) {
    try {
        path();
    } catch (const OrvjError& e) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("Error %1:%2").arg(e.code()).arg(errorText(e)),
                                  MessageService::Icon::Critical, MessageService::Buttons::Ok);
    }
}

void frmMainMenu::RunGuarded(const std::function<void()>& path) {
    if (!m_services.secretCode->AskSecretCode(this)) {
        return;
    }
    RunPath(path);
}

bool frmMainMenu::RefuseWhenFull() {
    if (!m_state.clients.isFull()) {
        return false;
    }
    const QString file = pathToQString(m_state.paths.clientFile);
    m_services.messages->show(
        this, appTitle(),
        QStringLiteral("The data disk is full: the client file holds %1 clients, the most it "
                       "can hold. No new client can be added to it.\n\n"
                       "To test more clients, start a new data folder with \"Options > "
                       "Data Folder...\" (New Empty Folder). The clients in %2 stay as "
                       "they are.")
            .arg(ClientTable::kMaxClients)
            .arg(file),
        MessageService::Icon::Information, MessageService::Buttons::Ok);
    return true;
}

void frmMainMenu::MenuChoice(int index) {
    FormLauncher* forms = m_services.forms;
    const auto runPath = [this, index](MenuPath::Path path, const std::function<void()>& open) {
        MenuPath::run(path, m_state, m_closeOthers,
                      {.hideMenu = [this] { m_frMainMenu->hide(); },
                       .runForms = [this, &open] { RunPath(open); },
                       .showMenu = [this] { m_frMainMenu->show(); },
                       .activate = [this] { Activation(); }});
        FocusAfterPath(index);
    };
    switch (index) {
    case EditCurrentClient:
        runPath(MenuPath::Path::EditCurrentClient, [this, forms] {
            forms->showClientInfo(this);
            if (m_state.dialogConfirmed) {
                forms->showNewEntry(this);
            }
        });
        break;
    case AddNewClient:
        if (!RefuseWhenFull()) {
            runPath(MenuPath::Path::AddNewClient,
                    [this, forms] { forms->showSelectEntryMethod(this); });
        }
        break;
    case SupervisorOptions:
        runPath(MenuPath::Path::SupervisorOptions,
                [this, forms] { forms->showSupervisorOptions(this); });
        break;
    case ExitApplication:
        m_exiting = true;
        close();
        emit exitRequested();
        break;
    default:
        break;
    }
}

void frmMainMenu::FocusAfterPath(int index) {
    // Back from a path the keyboard user finds the focus where it was, or on the list when
    // that button is now disabled.
    QAbstractButton* button = m_choices->button(index);
    if (button != nullptr && button->isEnabled()) {
        button->setFocus(Qt::OtherFocusReason);
        // The button may have kept the focus under the closed form, so no focus event comes
        // to light it again after the activation cleared the highlights.
        HighlightChoice(this, kLastChoice, index);
    } else {
        FocusList();
    }
}

void frmMainMenu::setNumLockOption(bool on) {
    m_numLock = on;
    m_mnuNumLock->setChecked(on);
}

void frmMainMenu::ToggleNumLock() {
    setNumLockOption(!m_numLock);
    try {
        ConfigFile(m_state.paths.configFile).WriteNumLock(m_numLock);
    } catch (const OrvjError& e) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("The Num Lock setting could not be saved:\n%1\n\n"
                                                 "It applies until the program ends.")
                                      .arg(errorText(e)),
                                  MessageService::Icon::Information, MessageService::Buttons::Ok);
    }
}

void frmMainMenu::ShowAbout() {
    if (m_about) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    m_about = new frmAbout(m_state, m_services, this);
    m_about->setAttribute(Qt::WA_DeleteOnClose);
    m_about->setSplash(false);
    m_about->setModal(false);
    m_about->show();
    // The box takes the keyboard while it is shown, so Enter closes it and not the menu.
    m_about->raise();
    m_about->activateWindow();
}

void frmMainMenu::RestoreToFront() {
    if (isMinimized() || isMaximized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
        modal->raise();
        modal->activateWindow();
    }
}

bool frmMainMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lbNameDisplay) {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (m_state.clients.clientCount < 1) {
                m_choices->button(AddNewClient)->setFocus(Qt::TabFocusReason);
                return false;
            }
            ShowClientListFocus(m_fraClient, m_msgPanel, true);
            UpdateEditButton();
            break;
        case QEvent::FocusOut:
            ShowClientListFocus(m_fraClient, m_msgPanel, false);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Down || key == Qt::Key_Up) &&
                m_lbNameDisplay->selectedItems().isEmpty() && m_lbNameDisplay->count() > 0) {
                // With no line chosen, either arrow chooses the first line.
                m_lbNameDisplay->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
                UpdateEditButton();
                return true;
            }
            UpdateEditButton();
            break;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMainMenu::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FitList();
}

int frmMainMenu::setListRows(int rows) {
    const int border = 2 * m_lbNameDisplay->frameWidth();
    // Never fewer lines than the list's least height holds, the last one whole.
    const int least = (m_listLeastHeight - border + m_listRowHeight - 1) / m_listRowHeight;
    const int shown = std::max(rows, least);
    m_lbNameDisplay->setFixedHeight(shown * m_listRowHeight + border);
    // The frame is measured at once: the sizes its layouts keep must not be the old ones.
    m_fraClient->updateGeometry();
    m_frMainMenu->setFixedSize(m_frMainMenu->sizeHint());
    return shown;
}

void frmMainMenu::FitList() {
    // The height the window has beyond the frame goes to the list, in whole lines, instead of
    // being left empty below it.
    const int least = setListRows(0);
    const QWidget* central = centralWidget();
    const int spare = central->height() - 2 * twipsToPixels(240) - m_frMainMenu->height();
    if (spare >= m_listRowHeight) {
        setListRows(least + spare / m_listRowHeight);
    }
    m_frMainMenu->move((central->width() - m_frMainMenu->width()) / 2,
                       std::max(0, (central->height() - m_frMainMenu->height()) / 2));
}

void frmMainMenu::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!m_exiting) {
        m_exiting = true;
        emit exitRequested();
    }
}

} // namespace orvj
