#pragma once

#include "scoring/ReportTexts.h"
#include "scoring/ScoringTables.h"

#include <filesystem>

namespace orvj {

// Everything a report reads before it is written: the scoring tables and the held texts.
struct Inventory {
    ScoringTables scoring;
    ReportTexts texts;
};

// Loads the inventory from the program folder, reading ORVJB.TXT, ORVJRPT.TXT and ORV-J.TXT
// side by side in the order the files were laid out for, then PUBLISHER.TXT. Throws OrvjError
// naming the file and the line or field at the first fault; nothing is half loaded. The scale
// paragraph files and INVAL.TXT are read too and held as read: a fault in one of them is
// raised by the report that needs the text.
Inventory loadInventory(const std::filesystem::path& home);

} // namespace orvj
