#include "app/AppServices.h"

#include "app/QtFormLauncher.h"
#include "core/AppState.h"
#include "scoring/QtReportJobs.h"
#include "scoring/ReportJobs.h"
#include "session/QtAudioPlayer.h"
#include "store/Clock.h"
#include "ui/InputBoxSecretCodePrompt.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/QtClock.h"
#include "ui/SecretCodePrompt.h"

namespace orvj {

AppServices::AppServices(AppState& state)
    : m_messages(std::make_unique<QtMessageService>()), m_clock(std::make_unique<QtClock>()) {
    m_services.messages = m_messages.get();
    m_services.clock = m_clock.get();

    // REPORT.PRN lives in the program folder; reports print on the default printer, or into
    // PDF files in the folder that ORVJ_PRINT_DIR names.
    PrintTarget target;
    if (const QString dir = qEnvironmentVariable("ORVJ_PRINT_DIR"); !dir.isEmpty()) {
        target.pdfFolder = qStringToPath(dir);
    }
    // Name deletion removes the print files there with the other report files.
    state.paths.printFolder = target.pdfFolder;
    m_reports = std::make_unique<QtReportJobs>(state.paths.home, target);
    m_services.reports = m_reports.get();

    // The code is checked against ORVJTest.ini of the program folder.
    m_secretCode = std::make_unique<InputBoxSecretCodePrompt>(*m_messages, *m_clock, state);
    m_services.secretCode = m_secretCode.get();

    m_services.makeAudioPlayer = [] { return makeQtAudioPlayer(); };

    m_forms = std::make_unique<QtFormLauncher>(state, m_services);
    m_services.forms = m_forms.get();
}

AppServices::~AppServices() = default;

} // namespace orvj
