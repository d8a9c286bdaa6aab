#pragma once

#include "core/ClientTable.h"
#include "scoring/ReportComposer.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace orvj {

// One report from start to end: load the inventory from the program folder, score the client,
// compose the text, and write REPORT.PRN in the program folder.
class ReportWriter {
public:
    explicit ReportWriter(std::filesystem::path home) : m_home(std::move(home)) {}

    const std::filesystem::path& home() const { return m_home; }

    // The client file the table was read from: a record that cannot be scored is then
    // reported with the file's name.
    void setClientFile(std::filesystem::path file) { m_clientFile = std::move(file); }
    std::filesystem::path reportPath() const;

    // The report of client `client` (record number, 1..clientCount) as REPORT.PRN's bytes.
    // Throws OrvjError naming the file and what was wrong.
    std::string composeText(const ClientTable& clients, int client, ReportOption option) const;
    void compose(const ClientTable& clients, int client, ReportOption option,
                 std::ostream& out) const;

    // Writes REPORT.PRN. The text goes to a temporary file that replaces REPORT.PRN only when
    // complete, so REPORT.PRN is never a part of a report; on any failure no REPORT.PRN is
    // left, so an earlier client's report cannot be taken for this one. The caller holds the
    // program folder's ReportFolderLock.
    void writeReportFile(const ClientTable& clients, int client, ReportOption option) const;

    // The option number of the supervisor options (0, 1, 2) as a report option.

private:
    std::filesystem::path m_home;
    std::filesystem::path m_clientFile;
};

} // namespace orvj
