#include "ui/DeleteNames.h"

#include "core/AppState.h"
#include "store/ClientFile.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Scramble.h"
#include "ui/Services.h"

#include <QStringList>

#include <cctype>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace orvj {
namespace {

// REPORT.PRN and "temp<number>" hold names and ID numbers in clear.
bool holdsReportText(const std::string& fileName) {
    std::string lower;
    for (char c : fileName) {
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    if (lower == "report.prn") {
        return true;
    }
    if (lower.size() <= 4 || lower.compare(0, 4, "temp") != 0) {
        return false;
    }
    for (std::size_t i = 4; i < lower.size(); ++i) {
        if (lower[i] < '0' || lower[i] > '9') {
            return false;
        }
    }
    return true;
}

// The files that could not be removed, one per line.
QStringList removeReportCopies(const fs::path& home) {
    QStringList failed;
    std::error_code ec;
    std::vector<fs::path> doomed;
    for (const auto& entry : fs::directory_iterator(home, ec)) {
        std::error_code typeError;
        if (entry.is_regular_file(typeError) && holdsReportText(entry.path().filename().string())) {
            doomed.push_back(entry.path());
        }
    }
    for (const auto& p : doomed) {
        std::error_code removeError;
        fs::remove(p, removeError);
        if (removeError) {
            failed << QString::fromStdString(p.string() + ": " + removeError.message());
        }
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
                      MessageService::Buttons::YesNo) != MessageService::Answer::Yes) {
        messages.show(parent, appTitle(),
                      QStringLiteral("Delete process ABORTED. Press Enter to continue."),
                      MessageService::Icon::None);
        return;
    }

    std::optional<WaitCursor> wait(std::in_place);
    const ClientFile file(state.paths.clientFile);
    QString fault;
    for (int i = 1; i <= state.clients.clientCount; ++i) {
        ClientRecord scrambled = state.clients.at(i);
        if (!scrambleClientName(scrambled)) {
            continue;
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
    const QStringList leftOver = removeReportCopies(state.paths.home);
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
    messages.show(parent, appTitle(),
                  QStringLiteral("Delete process complete. Press Enter to continue."),
                  MessageService::Icon::None);
}

} // namespace orvj
