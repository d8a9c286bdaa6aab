#pragma once

#include <QString>

class QWidget;

namespace orvj {

struct AppState;
struct Services;

// The warning shown before names and ID numbers are scrambled.
QString deleteNamesWarning();

// Asks for confirmation (No is the default answer), then replaces the name and ID number of
// every client not yet deleted by random characters, writing each record as it goes, and
// removes REPORT.PRN and the numbered report copies from the program folder and the print
// jobs' PDF files from the print folder. Reports the outcome in a message box. (The secret
// code is asked by the caller, before this.)
void DeleteNames(AppState& state, Services& services, QWidget* parent);

} // namespace orvj
