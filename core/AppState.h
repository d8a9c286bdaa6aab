#pragma once

#include "core/ClientTable.h"
#include "core/InventoryLayout.h"
#include "core/ReportOption.h"

#include <cstdint>
#include <filesystem>

namespace orvj {

// Where the program's files are, fixed at start-up.
struct ProgramPaths {
    std::filesystem::path home;         // program folder: configuration, question bank,
                                        // inventory files, REPORT.PRN
    std::filesystem::path dataFolder;   // FilePath of the configuration file
    std::filesystem::path clientFile;   // dataFolder / DATA301.OVJ
    std::filesystem::path questionBank; // home / ORVj32.db
    std::filesystem::path soundBase;    // SndPath of the configuration file
    std::filesystem::path configFile;   // home / ORVJTest.ini
    std::filesystem::path printFolder;  // ORVJ_PRINT_DIR, where print jobs become
                                        // print-NNN.pdf; empty: the default printer
};

// The program-wide run-time values and the client table. One object owned by the application
// and handed to every form by reference; tests build their own and inspect it afterwards.
struct AppState {
    ProgramPaths paths;
    ClientTable clients;

    bool editMode = false;
    bool scanEditMode = false;
    bool dialogConfirmed = false;
    bool testStored = false;      // tells the main menu to rebuild its client list
    std::int16_t nameDeleted = 0; // set to 1 by name deletion
    bool audioAvailable = true;
    ReportOption reportOption = ReportOption::Standard;
    std::int16_t workingEditCount = 0;

    // The on-screen test's answers, index 1..143.
    InventoryLayout::ResponseArray responses{};
};

} // namespace orvj
