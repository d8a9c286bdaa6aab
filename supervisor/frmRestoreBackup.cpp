#include "supervisor/frmRestoreBackup.h"

#include "core/AppState.h"
#include "store/ClientFile.h"
#include "store/OrvjError.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <exception>

namespace orvj {

frmRestoreBackup::frmRestoreBackup(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmRestoreBackup"));
    setWindowTitle(QStringLiteral("Restore Backup"));
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("Backups of the Client File"), this);
    frame->setObjectName(QStringLiteral("fraBackups"));
    auto* inner = new QVBoxLayout(frame);
    m_grdBackups = new QTableWidget(0, 3, frame);
    m_grdBackups->setObjectName(QStringLiteral("grdBackups"));
    m_grdBackups->setHorizontalHeaderLabels(
        {QStringLiteral("Made"), QStringLiteral("Clients"), QStringLiteral("Today's file holds")});
    m_grdBackups->verticalHeader()->hide();
    m_grdBackups->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdBackups->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdBackups->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdBackups->setTabKeyNavigation(false);
    inner->addWidget(m_grdBackups);
    outer->addWidget(frame, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeMenuChoice(this, kRestore, QStringLiteral("&Restore")));
    buttons->addWidget(makeMenuChoice(this, kClose, QStringLiteral("&Close")));
    outer->addLayout(buttons);
    m_msgPanel = makeMsgPanel(this);
    outer->addWidget(m_msgPanel);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    m_choices->add(kRestore, QStringLiteral("Put the chosen backup in place of the client file; "
                                            "the file as it is now is backed up first."));
    m_choices->add(kClose, QStringLiteral("Close this window and return to Main Menu."));
    connect(m_choices, &MenuChoices::chosen, this, &frmRestoreBackup::choose);
    describeControl(m_grdBackups, QStringLiteral("Backups"),
                    QStringLiteral("Use up or down arrow keys to choose a backup, newest first."),
                    m_msgPanel);
    m_grdBackups->installEventFilter(this);
    setTabOrder(m_grdBackups, menuButton(this, kRestore));
    setTabOrder(menuButton(this, kRestore), menuButton(this, kClose));
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("escClose"));
    connect(escape, &QShortcut::activated, this, &QDialog::reject);
    sizeToLayout(this, 9000, 4800);
    load();
}

void frmRestoreBackup::load() {
    std::string today;
    try {
        today = Backups::read(m_state.paths.clientFile);
    } catch (const OrvjError&) {
        today.clear(); // no client file: every client of a backup is missing today
    }
    m_backups = Backups::list(Backups::folderFor(m_state.paths.clientFile));
    m_grdBackups->setRowCount(static_cast<int>(m_backups.size()));
    for (int row = 0; row < static_cast<int>(m_backups.size()); ++row) {
        const Backups::Backup& b = m_backups[static_cast<std::size_t>(row)];
        QString clients;
        QString differs;
        try {
            const Backups::Difference d = Backups::compare(Backups::read(b.file), today);
            clients = QString::number(d.clients);
            differs = QString::fromStdString(Backups::describe(d));
        } catch (const std::exception& e) {
            differs = QStringLiteral("cannot be read: ") + errorText(e);
        }
        m_grdBackups->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(b.stamp)));
        m_grdBackups->setItem(row, 1, new QTableWidgetItem(clients));
        m_grdBackups->setItem(row, 2, new QTableWidgetItem(differs));
    }
    m_grdBackups->resizeColumnsToContents();
    if (!m_backups.empty()) {
        m_grdBackups->setCurrentCell(0, 0);
    }
    menuButton(this, kRestore)->setEnabled(!m_backups.empty());
}

bool frmRestoreBackup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grdBackups && event->type() == QEvent::FocusIn) {
        m_msgPanel->setText(m_grdBackups->accessibleDescription());
    }
    return QDialog::eventFilter(watched, event);
}

void frmRestoreBackup::choose(int index) {
    if (index == kRestore) {
        restore();
    } else {
        accept();
    }
}

void frmRestoreBackup::restore() {
    const int row = m_grdBackups->currentRow();
    if (row < 0 || row >= static_cast<int>(m_backups.size())) {
        m_services.messages->beep();
        return;
    }
    const Backups::Backup chosen = m_backups[static_cast<std::size_t>(row)];
    const QString stamp = QString::fromStdString(chosen.stamp);
    if (m_services.messages->show(
            this, QStringLiteral("Restore Backup"),
            QStringLiteral("Put the backup of %1 in place of the client file?\n\nThe client file "
                           "as it is now is backed up first.")
                .arg(stamp),
            MessageService::Icon::Question,
            MessageService::Buttons::YesNoDefaultNo) != MessageService::Answer::Yes) {
        return;
    }
    try {
        const WaitCursor wait;
        const std::string bytes = Backups::read(chosen.file);
        constexpr std::size_t kMost = ClientTable::kMaxClients * ClientRecord::kSize;
        if (bytes.size() > kMost + ClientRecord::kSize / 2) {
            throw OrvjError(ErrorCode::SubscriptOutOfRange,
                            chosen.file.string() + ": holds more than " +
                                std::to_string(ClientTable::kMaxClients) + " clients");
        }
        const ClientFile file(m_state.paths.clientFile);
        file.replaceAll(bytes, {AuditEvent::BackupRestored, "", chosen.file.filename().string()});
        file.load(m_state.clients);
    } catch (const std::exception& e) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("The backup was not restored; the client file "
                                                 "is as it was.\n") +
                                      errorText(e),
                                  MessageService::Icon::Critical);
        return;
    }
    m_restored = true;
    m_state.testStored = true;
    load();
    m_services.messages->show(this, appTitle(),
                              QStringLiteral("The backup of %1 is restored. The client file holds "
                                             "%2 clients.")
                                  .arg(stamp)
                                  .arg(m_state.clients.clientCount),
                              MessageService::Icon::Information);
}

} // namespace orvj
