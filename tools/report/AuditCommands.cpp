#include "tools/report/AuditCommands.h"

#include "store/ClientFile.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#ifdef ORVJ_HAVE_SODIUM
#include "store/AuditTrail.h"
#include "store/Backups.h"
#endif

#include <ostream>
#include <stdexcept>

namespace orvj {
namespace {

using Command = ReportToolOptions::Command;

#ifdef ORVJ_HAVE_SODIUM
// The client file of the data folder that ORVJTest.ini names.
std::filesystem::path clientFileOf(const std::filesystem::path& home) {
    const ConfigFile config(home / ConfigFile::kFileName);
    const std::string value = config.GetINIFilePath();
    const std::filesystem::path folder = resolveConfiguredFolder(home, value);
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) {
        throw OrvjError(ErrorCode::PathNotFound, config.path().string() + ": the data folder \"" +
                                                     value +
                                                     "\" (FilePath in [Path]) does not exist");
    }
    Backups::setOptions(Backups::optionsFrom(config, home));
    return folder / ClientFile::kFileName;
}

// A field read from the trail, which anybody who can write the data folder may have
// changed: no control character reaches the terminal.
std::string shown(std::string text) {
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            c = ' ';
        }
    }
    return text;
}

int printTrail(const ReportToolOptions& o, const std::filesystem::path& clientFile,
               std::ostream& out, std::ostream& err) {
    const AuditTrail trail(clientFile);
    const AuditRead read = trail.read();
    if (o.auditVerify) {
        if (!read.check.intact) {
            err << "orvj-report: " << trail.path().string() << ": " << read.check.problem << "\n";
            return 1;
        }
        out << trail.path().string() << ": the chain is intact (" << read.lines.size() << " lines";
        if (read.check.resumedAfterTorn > 0) {
            out << "; " << read.check.resumedAfterTorn << " torn line(s) closed by a new segment";
        }
        out << ")\n";
        return 0;
    }
    for (const AuditLine& l : read.lines) {
        if ((o.auditRecord > 0 && !l.mentionsRecord(o.auditRecord)) ||
            (!o.auditSince.empty() && l.time.substr(0, 10) < o.auditSince)) {
            continue;
        }
        out << l.line << '\t' << shown(l.time) << '\t' << shown(l.pc) << '\t' << shown(l.user)
            << '\t' << shown(l.program) << '\t' << shown(l.event) << '\t' << shown(l.records)
            << '\t' << shown(l.detail) << (l.failed ? "\tFAILED" : "") << "\n";
    }
    out << "chain: " << (read.check.intact ? std::string("intact") : shown(read.check.problem))
        << "\n";
    return 0;
}

int listBackups(const std::filesystem::path& clientFile, std::ostream& out) {
    std::string today;
    std::error_code ec;
    if (std::filesystem::exists(clientFile, ec)) {
        today = Backups::read(clientFile);
    }
    const std::filesystem::path folder = Backups::folderFor(clientFile);
    const auto copies = Backups::list(folder);
    if (copies.empty()) {
        out << "No backups in " << folder.string() << "\n";
    }
    for (const Backups::Backup& b : copies) {
        out << b.stamp << '\t' << b.file.filename().string() << '\t';
        try {
            const Backups::Difference d = Backups::compare(Backups::read(b.file), today);
            out << d.clients << (d.clients == 1 ? " client" : " clients") << '\t'
                << Backups::describe(d) << "\n";
        } catch (const OrvjError& e) {
            out << "unreadable: " << shown(e.what()) << "\n";
        }
    }
    return 0;
}
#endif

} // namespace

const char* auditHelp() {
    return "\n"
           "Audit trail and backups:\n"
           "  --audit         print the audit trail of the data folder (DATA301.LOG), oldest\n"
           "                  first: line, time (UTC), PC, user, program, event, records and\n"
           "                  what changed, FAILED for a change that was not saved\n"
           "  --record N      with --audit: only the lines of record N\n"
           "  --since DATE    with --audit: only the lines from DATE (YYYY-MM-DD, UTC) on\n"
           "  --verify        with --audit: check the whole chain; exit status 1 names the\n"
           "                  first line that was changed, removed, inserted or torn\n"
           "  --backups       list the backups of the client file, newest first, with their\n"
           "                  client count and what today's file holds that they do not\n";
}

int runAuditCommand([[maybe_unused]] const ReportToolOptions& o,
                    [[maybe_unused]] const std::filesystem::path& home, std::ostream& out,
                    std::ostream& err) {
#ifdef ORVJ_HAVE_SODIUM
    const std::filesystem::path clientFile = clientFileOf(home);
    return o.command == Command::Audit ? printTrail(o, clientFile, out, err)
                                       : listBackups(clientFile, out);
#else
    static_cast<void>(out);
    err << "orvj-report: --audit and --backups need the full build of orvj-report (with "
           "libsodium)\n";
    return 2;
#endif
}

int recordReportEvent([[maybe_unused]] const ReportToolOptions& o,
                      [[maybe_unused]] const std::filesystem::path& home, int status,
                      [[maybe_unused]] std::ostream& err) {
#ifdef ORVJ_HAVE_SODIUM
    if (status != 0) {
        return status;
    }
    std::vector<AuditEntry> entries;
    if (o.command == Command::Scores) {
        if (o.csv) {
            entries.push_back({AuditEvent::CsvExported, "",
                               std::string("orvj-report --scores --csv") +
                                   (o.deidentified ? " --deidentified" : "") +
                                   (o.responses ? " --responses" : "")});
        }
    } else if (o.command == Command::Stats) {
        if (o.csv) {
            entries.push_back({AuditEvent::CsvExported, "", "orvj-report --stats --csv"});
        }
    } else if (o.command == Command::Client || o.command == Command::All) {
        // --all alone composes the copies a print run would print: it is recorded when they
        // are printed or saved.
        const std::string records =
            o.command == Command::Client ? std::to_string(o.client) : std::string("all");
        if (o.command == Command::Client) {
            entries.push_back({AuditEvent::ReportViewed, records, "orvj-report"});
        }
        if (o.pdf) {
            entries.push_back({AuditEvent::ReportSavedAsPdf, records, "orvj-report"});
        }
        if (o.print) {
            entries.push_back({AuditEvent::ReportPrinted, records, "orvj-report"});
        }
    }
    if (entries.empty()) {
        return status;
    }
    AuditTrail::setProgram(std::string("orvj-report ") + ORVJ_VERSION);
    try {
        const std::filesystem::path clientFile = clientFileOf(home);
        for (const AuditEntry& entry : entries) {
            AuditTrail(clientFile).record(entry);
        }
    } catch (const OrvjError& e) {
        if (e.code() == ErrorCode::PermissionDenied) {
            err << "orvj-report: not recorded in the audit trail, the data folder cannot be "
                   "written: "
                << e.what() << "\n";
            return status;
        }
        err << "orvj-report: the audit trail could not be written: " << e.what() << "\n";
        return 1;
    }
#endif
    return status;
}

} // namespace orvj
