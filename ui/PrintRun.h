#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace orvj {

struct AppState;
struct Services;
class ReportRuns;

// A print run of the supervisor's windows ("Print all clients' reports", the chosen clients'
// reports): `work` runs it under the hourglass, into `pdfFolder` when one is chosen and with
// each client's profile chart when `charts`; a fault shows its box; the reports it finished
// (`clients` when nothing went wrong) get their audit line, named by `run`.
void runPrintRun(QWidget* parent, AppState& state, Services& services,
                 const std::filesystem::path& pdfFolder, bool charts, std::vector<int> clients,
                 const std::string& run, const std::function<void(ReportRuns&)>& work);

} // namespace orvj
