#include "ui/PrintRun.h"

#include "core/AppState.h"
#include "scoring/ProfileData.h"
#include "scoring/ReportRuns.h"
#include "store/OrvjError.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

namespace orvj {

void runPrintRun(QWidget* parent, AppState& state, Services& services,
                 const std::filesystem::path& pdfFolder, bool charts, std::vector<int> clients,
                 const std::string& run, const std::function<void(ReportRuns&)>& work) {
    QString fault;
    try {
        const WaitCursor wait;
        ReportRuns runs(*services.reports, state.paths.home);
        runs.setPdfFolder(pdfFolder);
        if (charts) {
            runs.setProfiles(profileSource(state.clients, state.paths.home));
        }
        work(runs);
    } catch (const ReportRunError& e) {
        fault = errorText(e.message());
        clients = e.printed();
    } catch (const OrvjError& e) {
        fault = errorText(e);
        clients.clear();
    }
    if (!fault.isEmpty()) {
        services.messages->show(parent, appTitle(), fault, MessageService::Icon::Critical);
    }
    recordReportRun(state.paths.clientFile, *services.messages, parent, !pdfFolder.empty(), clients,
                    run);
}

} // namespace orvj
