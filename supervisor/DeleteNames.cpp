#include "supervisor/DeleteNames.h"

#include "core/AppState.h"
#include "scoring/ReportJobs.h"
#include "store/Backups.h"
#include "store/ClientFile.h"
#include "store/OrvjError.h"
#include "store/ReportFiles.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Scramble.h"
#include "ui/Services.h"

#include <QStringList>

#include <exception>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace orvj {
namespace {

// Every report file and temporary of the program folder, and every print job's PDF file of the
// print folder, holds names and ID numbers in clear. The report files are removed under the
// report lock, so no run writes one meanwhile. Returns the files that could not be removed,
// one per line.
QStringList removeReportFiles(ReportJobs& reports, const ProgramPaths& paths) {
    QStringList failed;
    try {
        const ReportFolderLock lock = reports.lockReportFolder();
        for (const std::string& line : ReportFiles::removeAll(lock)) {
            failed << QString::fromStdString(line);
        }
    } catch (const std::exception& e) {
        failed << QString::fromStdString(e.what());
    }
    for (const std::string& line : ReportFiles::removePrintFiles(paths.printFolder)) {
        failed << QString::fromStdString(line);
    }
    return failed;
}

} // namespace

QString deleteNamesWarning() {
    return QStringLiteral("You are about to delete the client names from the ") +
           QStringLiteral("data diskette.  This should not be done until you have ") +
           QStringLiteral("printed all reports and you are finished with the ") +
           QStringLiteral("diskette and ready to return it.  This procedure is ") +
           QStringLiteral("provided as an option to protect the confidentiality ") +
           QStringLiteral("of your clients.  You may choose not to run the ") +
           QStringLiteral("procedure.  Once done you cannot undo the changes!!!  ") +
           QStringLiteral("The ID number will be deleted as well.") + QStringLiteral("\n\n") +
           QStringLiteral("Do wish to delete all names and ID numbers?");
}

void DeleteNames(AppState& state, Services& services, QWidget* parent) {
    MessageService& messages = *services.messages;
    if (messages.show(parent, QStringLiteral("WARNING!"), deleteNamesWarning(),
                      MessageService::Icon::Critical,
                      MessageService::Buttons::YesNoDefaultNo) != MessageService::Answer::Yes) {
        messages.show(parent, appTitle(),
                      QStringLiteral("Delete process ABORTED. Press Enter to continue."),
                      MessageService::Icon::None);
        return;
    }

    std::optional<WaitCursor> wait(std::in_place);
    ClientFile file(state.paths.clientFile);
    file.setAuditEvent(AuditEvent::NamesDeleted);
    QString fault;
    // A copy of the file as it was, made first and then scrubbed with every other copy: the
    // answers stay recoverable, the names do not.
    try {
        file.backupNow("before name deletion");
    } catch (const OrvjError& e) {
        wait.reset();
        messages.show(parent, appTitle(),
                      QStringLiteral("No name was deleted: the client file could not be copied "
                                     "to the backups first.\n") +
                          errorText(e),
                      MessageService::Icon::Critical);
        return;
    }
    for (int i = 1; i <= state.clients.clientCount; ++i) {
        ClientRecord scrambled = state.clients.at(i);
        try {
            if (!scrambleClientName(scrambled)) {
                continue;
            }
        } catch (const OrvjError& e) {
            fault = QStringLiteral("The names of record %1 and of the records after it were not "
                                   "deleted.\n%2")
                        .arg(i)
                        .arg(errorText(e));
            break;
        }
        state.nameDeleted = 1;
        const RecordSave save = state.clients.saveRecord(
            i, [&](ClientRecord& record) { record = scrambled; }, file);
        if (!save.saved) {
            fault = QStringLiteral("Record %1 could not be written, so the names of record %1 "
                                   "and of the records after it were not deleted.\n%2\n\n"
                                   "Run Delete Names again when the data disk can be written.")
                        .arg(save.slot)
                        .arg(errorText(save.fault));
            break;
        }
    }
    const QStringList leftOver = removeReportFiles(*services.reports, state.paths);
    const auto scrub = [](ClientRecord& record) { return scrambleClientName(record); };
    const std::filesystem::path backups = Backups::folderFor(state.paths.clientFile);
    // The copies lose their names too; one that cannot be rewritten goes whole.
    QStringList removedCopies;
    for (const std::string& line : Backups::scrubNames(backups, scrub)) {
        removedCopies << QString::fromStdString(line);
    }
    wait.reset();
    state.testStored = true;

    if (!fault.isEmpty()) {
        messages.show(parent, appTitle(), fault, MessageService::Icon::Critical);
        return;
    }
    if (!leftOver.isEmpty()) {
        messages.show(parent, appTitle(),
                      QStringLiteral("These report files still hold client names and could not "
                                     "be removed:\n") +
                          leftOver.join(QLatin1Char('\n')),
                      MessageService::Icon::Critical);
    }
    if (!removedCopies.isEmpty()) {
        messages.show(parent, appTitle(),
                      QStringLiteral("These backups of the client file could not have their "
                                     "names deleted, so they were removed:\n") +
                          removedCopies.join(QLatin1Char('\n')),
                      MessageService::Icon::Warning);
    }
    messages.show(parent, appTitle(),
                  QStringLiteral("Delete process complete. Press Enter to continue."),
                  MessageService::Icon::None);
}

} // namespace orvj
