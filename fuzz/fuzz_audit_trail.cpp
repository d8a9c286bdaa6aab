// The audit trail's reader and the backup listing, over bytes anybody who can write the data
// folder may have put there: a check that names its line, a reading that is the same every
// time, an append that mends a torn last line, and copies that list and compare as they are.
#include "FuzzSupport.h"

#include "store/AuditTrail.h"
#include "store/Backups.h"
#include "store/ClientFile.h"

using namespace orvj;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const AuditRead read = AuditTrail::parse(input);
    fuzz::check(read.check.intact == (read.check.badLine == 0), "a break names its line");
    fuzz::check(read.check.intact ||
                    read.check.problem.find("line " + std::to_string(read.check.badLine)) !=
                        std::string::npos,
                "the message names the first broken line");
    for (const AuditLine& l : read.lines) {
        fuzz::check(l.line >= 1 && static_cast<std::size_t>(l.line) <= size + 1,
                    "a line number lies in the file");
    }
    const AuditRead again = AuditTrail::parse(input);
    fuzz::check(again.lines.size() == read.lines.size() &&
                    again.check.problem == read.check.problem,
                "the same bytes read the same");

    // Through the file: an append to a whole trail, or one with a torn last line, leaves it
    // whole.
    const std::filesystem::path folder = fuzz::scratch() / "audit";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::filesystem::path clientFile = folder / ClientFile::kFileName;
    fuzz::writeFile(folder / AuditTrail::kFileName, input);
    AuditTrail(clientFile).record({AuditEvent::ReportViewed, "1", ""});
    const AuditRead after = AuditTrail(clientFile).read();
    if (read.check.intact || read.check.problem.find("torn") != std::string::npos) {
        fuzz::check(after.check.intact, "an append mends a torn last line");
    }
    fuzz::check(!after.lines.empty() && after.lines.back().event == "report viewed",
                "the appended line reads back last");

    // The bytes as a backup: listed under a backup's name, compared with itself and with an
    // empty file.
    const std::filesystem::path backups = folder / "backups";
    std::filesystem::create_directories(backups);
    fuzz::writeFile(backups / "DATA301-20261208-052151.OVJ", input);
    const std::string name(input.substr(0, 40));
    const bool named = Backups::isBackupName(name);
    fuzz::check(!named || name.find('/') == std::string::npos, "a backup name is a plain name");
    const auto listed = Backups::list(backups);
    fuzz::check(listed.size() == 1, "the copy is listed");
    if (size <= (std::size_t{1} << 20)) {
        const std::string copy = Backups::read(listed.front().file);
        fuzz::check(copy == input, "the copy reads as written");
        const Backups::Difference same = Backups::compare(copy, copy);
        fuzz::check(same.added.empty() && same.changed.empty() && same.namesDeleted.empty(),
                    "a copy is the same as itself");
        const Backups::Difference empty = Backups::compare("", copy);
        fuzz::check(static_cast<int>(empty.added.size()) == same.clients,
                    "every client of a file is added since an empty copy");
    }
    return 0;
}
