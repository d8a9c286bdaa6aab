#include "scoring/ReportWriter.h"

#include "scoring/InventoryFiles.h"
#include "scoring/InventoryLoader.h"
#include "scoring/ScaleScorer.h"
#include "store/OrvjError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvj {
namespace {

[[noreturn]] void throwWriteError(const std::filesystem::path& p, int err, const char* action) {
    int code = ErrorCode::DeviceIO;
    if (err == EACCES || err == EPERM || err == EROFS) {
        code = ErrorCode::PermissionDenied;
    } else if (err == ENOSPC) {
        code = ErrorCode::DiskFull;
    } else if (err == ENOENT || err == ENOTDIR) {
        code = ErrorCode::PathNotFound;
    }
    throw OrvjError(code, p.string() + ": " + action + ": " + std::strerror(err));
}

void writeAll(int fd, const std::string& bytes, const std::filesystem::path& path) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwWriteError(path, errno, "cannot write the report");
        }
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

std::filesystem::path ReportWriter::reportPath() const {
    return m_home / InventoryFiles::kReport;
}

ReportOption ReportWriter::optionFromNumber(int reportOption) {
    if (reportOption < 0 || reportOption > 2) {
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        "report option " + std::to_string(reportOption) +
                            " is not 0 (Standard Report), 1 (One-page Report) or 2 (Both)");
    }
    return static_cast<ReportOption>(reportOption);
}

std::string ReportWriter::composeText(const ClientTable& clients, int client,
                                      ReportOption option) const {
    if (client < 1 || client > clients.clientCount) {
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        "client " + std::to_string(client) + " is not in the client file (" +
                            (clients.clientCount == 0
                                 ? std::string("it holds no clients")
                                 : "clients 1 to " + std::to_string(clients.clientCount)) +
                            ")");
    }
    const Inventory inventory = loadInventory(m_home);
    const ClientRecord& record = clients.at(client);
    const ClientScores scores = ScaleScorer(inventory.scoring).score(record, client);
    return ReportComposer(inventory, scores, record, client, m_home).compose(option);
}

void ReportWriter::compose(const ClientTable& clients, int client, ReportOption option,
                           std::ostream& out) const {
    const std::string text = composeText(clients, client, option);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void ReportWriter::writeReportFile(const ClientTable& clients, int client,
                                   ReportOption option) const {
    const std::filesystem::path target = reportPath();
    std::error_code ignored;
    std::string text;
    try {
        text = composeText(clients, client, option);
    } catch (...) {
        std::filesystem::remove(target, ignored);
        throw;
    }

    std::string pattern = (m_home / "REPORT.PRN.XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        const int err = errno;
        std::filesystem::remove(target, ignored);
        throwWriteError(target, err, "cannot create the report file");
    }
    const std::filesystem::path temporary = pattern;
    bool closed = false;
    try {
        writeAll(fd, text, target);
        if (::fchmod(fd, 0644) != 0) {
            throwWriteError(target, errno, "cannot set the report file's permissions");
        }
        closed = true;
        if (::close(fd) != 0) {
            throwWriteError(target, errno, "cannot close the report file");
        }
    } catch (...) {
        if (!closed) {
            ::close(fd);
        }
        std::filesystem::remove(temporary, ignored);
        std::filesystem::remove(target, ignored);
        throw;
    }
    // The old report goes first: renaming over an existing file makes some file systems
    // (ext4) flush the new one to disk at once, which costs far more than the report itself.
    std::filesystem::remove(target, ignored);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int err = errno;
        std::filesystem::remove(temporary, ignored);
        std::filesystem::remove(target, ignored);
        throwWriteError(target, err, "cannot replace the report file");
    }
}

} // namespace orvj
