#pragma once

#include <QString>

class QWidget;

namespace orvj {

struct AppState;
struct Services;

// The warning shown before names and ID numbers are scrambled.
QString deleteNamesWarning();

// Asks for confirmation, then scrambles the name and ID number of every client not yet
// scrambled, writing each record as it goes, and removes REPORT.PRN and the numbered report
// copies from the program folder. Reports the outcome in a message box.
void DeleteNames(AppState& state, Services& services, QWidget* parent);

} // namespace orvj
