#include "store/ReportFiles.h"

#include "store/OrvjError.h"
#include "store/ReportFolderLock.h"
#include "store/platform/File.h"

#include <cctype>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

namespace orvj::ReportFiles {
namespace {

constexpr std::size_t kSuffixLength = 8; // the letters and digits after the dot of a temporary

std::string lowered(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return out;
}

bool allDigits(const std::string& s, std::size_t from, std::size_t to) {
    if (from >= to) {
        return false;
    }
    for (std::size_t i = from; i < to; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) {
            return false;
        }
    }
    return true;
}

// REPORT.PRN or temp<digits>, already in lower case.
bool isReportBaseName(const std::string& lower) {
    const std::string report = lowered(kReportName);
    const std::string prefix = lowered(kCopyPrefix);
    if (lower == report) {
        return true;
    }
    return lower.compare(0, prefix.size(), prefix) == 0 &&
           allDigits(lower, prefix.size(), lower.size());
}

// The files of the folder whose names pass `wanted`.
template <typename Wanted> std::vector<fs::path> filesNamed(const fs::path& home, Wanted wanted) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(home.empty() ? fs::path(".") : home, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && wanted(it->path().filename().string())) {
            found.push_back(it->path());
        }
    }
    return found;
}

} // namespace

fs::path reportFile(const fs::path& home) {
    const fs::path exact = home / kReportName;
    std::error_code ec;
    if (fs::exists(exact, ec)) {
        return exact;
    }
    const std::string wanted = lowered(kReportName);
    const auto found =
        filesNamed(home, [&](const std::string& name) { return lowered(name) == wanted; });
    return found.empty() ? exact : found.front();
}

fs::path copyFile(const fs::path& home, int number) {
    return home / (kCopyPrefix + std::to_string(number));
}

void write(const fs::path& target, const std::string& bytes) {
    using platform::File;
    fs::path temporary;
    try {
        File out = File::createTemporaryBeside(target, "cannot create the report file");
        temporary = out.path();
        out.writeAll(bytes.data(), bytes.size(), "cannot write the report file");
        out.close("cannot close the report file");
        // Not flushed to the disk: a report can always be composed again, and a flush for
        // every report of a print run would cost far more than the reports themselves. The
        // rename still means a reader never finds a part of a report under the name.
        platform::renameOver(temporary, target, "cannot replace the report file");
    } catch (const OrvjError& e) {
        if (!temporary.empty()) {
            platform::removeFile(temporary);
        }
        // The temporary's name means nothing to the supervisor; the report file's does.
        std::string message = e.what();
        const std::string named = temporary.string();
        if (message.compare(0, named.size(), named) == 0) {
            message.replace(0, named.size(), target.string());
        }
        throw OrvjError(e.code(), message);
    } catch (...) {
        if (!temporary.empty()) {
            platform::removeFile(temporary);
        }
        throw;
    }
}

void copy(const fs::path& from, const fs::path& to) {
    std::string bytes;
    try {
        using platform::File;
        const File in = File::open(from, File::Mode::Read, "cannot open the report file");
        bytes.resize(static_cast<std::size_t>(in.size("cannot read the report file")));
        bytes.resize(in.readAt(0, bytes.data(), bytes.size(), "cannot read the report file"));
        write(to, bytes);
    } catch (const OrvjError& e) {
        throw OrvjError(e.code(),
                        "cannot copy " + from.string() + " to " + to.string() + ": " + e.what());
    }
}

bool isTemporaryName(const std::string& fileName) {
    const std::string lower = lowered(fileName);
    const auto dot = lower.rfind('.');
    if (dot == std::string::npos || lower.size() - dot - 1 != kSuffixLength) {
        return false;
    }
    for (std::size_t i = dot + 1; i < lower.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(lower[i]))) {
            return false;
        }
    }
    return isReportBaseName(lower.substr(0, dot));
}

bool isReportFileName(const std::string& fileName) {
    return isReportBaseName(lowered(fileName)) || isTemporaryName(fileName);
}

void removeLeftovers(const ReportFolderLock& lock) noexcept {
    try {
        for (const auto& p : filesNamed(lock.home(), isTemporaryName)) {
            platform::removeFile(p);
        }
    } catch (...) {
        // Leftovers that stay are removed by a later run or by name deletion.
    }
}

namespace {

// Removes the files of the folder whose names pass `wanted`; one line for each that stays.
template <typename Wanted>
std::vector<std::string> removeFilesNamed(const fs::path& folder, Wanted wanted) {
    std::vector<std::string> failed;
    for (const auto& p : filesNamed(folder, wanted)) {
        std::error_code ec;
        fs::remove(p, ec);
        if (ec) {
            failed.push_back(p.string() + ": " + ec.message());
        }
    }
    return failed;
}

} // namespace

std::vector<std::string> removeAll(const ReportFolderLock& lock) {
    return removeFilesNamed(lock.home(), isReportFileName);
}

bool isPrintFileName(const std::string& fileName) {
    const std::string lower = lowered(fileName);
    const std::string prefix = lowered(kPrintPrefix);
    const std::string pdf = ".pdf";
    if (lower.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    const std::size_t at = lower.find(pdf, prefix.size());
    if (at == std::string::npos || !allDigits(lower, prefix.size(), at)) {
        return false;
    }
    const std::size_t end = at + pdf.size();
    return end == lower.size() || (lower[end] == '.' && end + 1 < lower.size());
}

std::vector<std::string> removePrintFiles(const fs::path& printFolder) {
    std::error_code ec;
    if (printFolder.empty() || !fs::is_directory(printFolder, ec)) {
        return {};
    }
    return removeFilesNamed(printFolder, isPrintFileName);
}

void checkPdfTarget(const fs::path& pdfFile) {
    platform::FileIdentity identity;
    if (!platform::identityOf(pdfFile, identity)) {
        return;
    }
    const std::string what = "checking the file the PDF would replace";
    // Opening for reading refuses a device, a pipe or a folder under the name.
    const platform::File file = platform::File::open(pdfFile, platform::File::Mode::Read, what);
    char head[5] = {};
    const std::size_t got = file.readAt(0, head, sizeof head, what);
    if (got == 0 || (got == sizeof head && std::memcmp(head, "%PDF-", sizeof head) == 0)) {
        return;
    }
    throw OrvjError(ErrorCode::PermissionDenied,
                    pdfFile.string() +
                        ": the file is not a PDF file, so the report is not written over it; "
                        "choose another name");
}

} // namespace orvj::ReportFiles
