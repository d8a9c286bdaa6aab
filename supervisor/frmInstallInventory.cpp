#include "supervisor/frmInstallInventory.h"

#include "core/AppState.h"
#include "scoring/InventoryInstaller.h"
#include "store/OrvjError.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/Services.h"

#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>

namespace orvj {

frmInstallInventory::frmInstallInventory(AppState& state, Services& services, QWidget* parent)
    : InstallerDialog(state, services, parent, QStringLiteral("frmInstallInventory"),
                      QStringLiteral("Install Inventory Files"),
                      QStringLiteral("Put the Publisher's Inventory Files in Place"),
                      QStringLiteral("Folder of Inventory Files")) {
    m_stamp = &InventoryInstaller::stampNow;
    QWidget* frame = m_form->parentWidget();

    auto* files = new QLabel(
        QStringLiteral("ORVJB.TXT, ORVJRPT.TXT, ORV-J.TXT, INVAL.TXT, PUBLISHER.TXT, the nine "
                       "paragraph files and the question bank ORVj32.db"),
        frame);
    files->setObjectName(QStringLiteral("lblFiles"));
    files->setWordWrap(true);
    m_form->addRow(QStringLiteral("Files:"), files);

    addSourceRow();
    auto* target = new QLabel(pathToQString(m_state.paths.home), frame);
    addTargetRow(target);
    // The form's own height passes on no height-for-width: each wrapped label asks for the
    // height its text needs at its narrowest.
    for (QLabel* label : {files, target}) {
        label->setMinimumWidth(twipsToPixels(5000));
        label->setMinimumHeight(label->heightForWidth(label->minimumWidth()));
    }

    addProgressAndMenu(QStringLiteral("prgInstall"),
                       QStringLiteral("Check every file of the folder, then put them in "
                                      "place; the old files go to a backup folder."));
}

void frmInstallInventory::install() {
    const QString source = chosenSource(QStringLiteral("inventory files"));
    if (source.isEmpty()) {
        return;
    }
    m_progress->setValue(0);
    QString text;
    bool done = false;
    // Refused or failed, the account goes in the same box as a success's.
    runInstall([&] {
        try {
            const auto result = InventoryInstaller::install(
                qStringToPath(source), m_state.paths.home, m_stamp(),
                [this](int step, int total) { showProgress(step, total); });
            text = QString::fromStdString(InventoryInstaller::summary(result));
            done = true;
        } catch (const InventoryInstaller::Refused& e) {
            text = errorText(e);
        } catch (const OrvjError& e) {
            text = QStringLiteral("The inventory files were not installed; nothing was "
                                  "replaced.\n") +
                   errorText(e);
        }
    });
    if (done) {
        recordAudit(m_state.paths.clientFile, *m_services.messages, this,
                    {AuditEvent::InventoryInstalled, "", ""});
    }
    showSummary(text, done);
}

} // namespace orvj
