#include "store/ClientFile.h"

#include "store/OrvjError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvj {
namespace {

std::string describe(const std::filesystem::path& p, const std::string& what) {
    return p.string() + ": " + what;
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

const ClientRecord::Field kDigitFields[] = {
    ClientRecord::Field::Gender, ClientRecord::Field::Race, ClientRecord::Field::Education,
    ClientRecord::Field::EditCount, ClientRecord::Field::NameDeleted};

} // namespace

ClientFile::LoadReport ClientFile::load(ClientTable& table) const {
    std::filesystem::path folder = m_path.parent_path();
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
        throw OrvjError(ErrorCode::PathNotFound,
                        describe(folder, "the data folder does not exist"));
    }
    // Opened for reading and writing, as the offices' program always did: a missing file is
    // created empty, and a write-protected one is reported now rather than at the first save.
    Fd fd(::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        throwFileError(m_path, errno, "cannot open the client file for reading and writing");
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        throwFileError(m_path, errno, "cannot read the client file");
    }
    const auto length = static_cast<long long>(st.st_size);
    const auto size = static_cast<long long>(ClientRecord::kSize);
    // The whole number nearest to length / 196; a trailing half record or more counts as a
    // record and is read space-padded.
    long long records = (length + size / 2) / size;

    LoadReport report;
    report.recordsInFile = static_cast<int>(records);
    report.partialLastRecord = length % size != 0;
    if (records > ClientTable::kMaxClients) {
        report.overflow = true;
        records = ClientTable::kMaxClients;
    }

    ClientTable fresh;
    for (long long k = 1; k <= records; ++k) {
        ClientRecord rec;
        auto& bytes = rec.bytes();
        std::size_t done = 0;
        const off_t at = static_cast<off_t>((k - 1) * size);
        while (done < bytes.size()) {
            ssize_t n = ::pread(fd.get(), bytes.data() + done, bytes.size() - done,
                                at + static_cast<off_t>(done));
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throwFileError(m_path, errno, "cannot read the client file");
            }
            if (n == 0) {
                break; // end of file inside the last record: the rest stays spaces
            }
            done += static_cast<std::size_t>(n);
        }
        for (auto f : kDigitFields) {
            std::string_view v = rec.field(f);
            if (v[0] != ' ' && (v[0] < '0' || v[0] > '9')) {
                report.fieldProblems.push_back("record " + std::to_string(k) + ": field " +
                                               ClientRecord::layout(f).name + " holds \"" +
                                               std::string(v) + "\", not a digit");
            }
        }
        fresh.records[static_cast<std::size_t>(k)] = rec;
    }
    fresh.clientCount = static_cast<std::int16_t>(records);
    fresh.currentClient = records > 0 ? 1 : 0;
    table = fresh;
    return report;
}

void ClientFile::writeRecord(const ClientTable& table, int slot) const {
    if (slot < 1 || slot > ClientTable::kMaxClients) {
        throw OrvjError(ErrorCode::BadFileName,
                        describe(m_path, "record number " + std::to_string(slot) +
                                             " is outside 1 to " +
                                             std::to_string(ClientTable::kMaxClients)));
    }
    Fd fd(::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        throwFileError(m_path, errno,
                       "cannot open the client file to write record " + std::to_string(slot));
    }
    const auto& bytes = table.at(slot).bytes();
    const off_t at = static_cast<off_t>(slot - 1) * static_cast<off_t>(ClientRecord::kSize);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd.get(), bytes.data() + done, bytes.size() - done,
                             at + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwFileError(m_path, errno, "cannot write record " + std::to_string(slot));
        }
        done += static_cast<std::size_t>(n);
    }
    // Written in place and flushed: the file is complete after every operation.
    if (::fsync(fd.get()) != 0) {
        throwFileError(m_path, errno, "cannot flush record " + std::to_string(slot));
    }
    int raw = fd.release();
    if (::close(raw) != 0) {
        throwFileError(m_path, errno,
                       "cannot close the client file after record " + std::to_string(slot));
    }
}

} // namespace orvj
