#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orvj {

class ReportFolderLock;

// The report files of the program folder: REPORT.PRN, the numbered copies temp1, temp2, ...
// of the print runs, and the temporaries each of them is written through. They hold client
// names and answers in clear. Every one is written whole beside its name and renamed over it,
// so a reader (the viewer, the printer, another run) sees the old file or the new one, never a
// part. They are written only under the program folder's ReportFolderLock; a run killed
// half-way leaves at most a temporary, which the next holder of the lock removes.
namespace ReportFiles {

constexpr const char* kReportName = "REPORT.PRN";
constexpr const char* kCopyPrefix = "temp";
// The print jobs' PDF files in the print folder (ORVJ_PRINT_DIR): print-001.pdf, print-002.pdf...
constexpr const char* kPrintPrefix = "print-";

// REPORT.PRN in the program folder; a name that differs only in case (a folder copied from
// the offices' PCs) is taken when it is there.
std::filesystem::path reportFile(const std::filesystem::path& home);

// The print runs' numbered copy: temp<number>.
std::filesystem::path copyFile(const std::filesystem::path& home, int number);

// Replaces `target` with `bytes`: written to a temporary beside it (the target's name and a
// dot and eight letters or digits, made exclusively) and renamed over it, so `target` keeps its old
// content until the new one is complete. On a fault the temporary is removed, `target` is left as
// it was, and OrvjError names `target` and the reason.
void write(const std::filesystem::path& target, const std::string& bytes);

// Copies one report file to another in the same way. The message of a fault names both files.
void copy(const std::filesystem::path& from, const std::filesystem::path& to);

// True for REPORT.PRN and temp<digits> (any case) and for their temporaries.
bool isReportFileName(const std::string& fileName);
// True only for a temporary: REPORT.PRN.XXXXXXXX or temp<digits>.XXXXXXXX.
bool isTemporaryName(const std::string& fileName);

// Removes the temporaries of the locked program folder: with the lock held, no live run is
// writing one, so each was left by a run that was killed. Never throws.
void removeLeftovers(const ReportFolderLock& lock) noexcept;

// Removes every report file and temporary of the locked program folder. Returns one line for
// each file that could not be removed: its name and the reason.
std::vector<std::string> removeAll(const ReportFolderLock& lock);

// True for a print job's PDF file, print-<digits>.pdf (any case), and for a file written beside
// one on its way to that name (print-<digits>.pdf.<anything>).
bool isPrintFileName(const std::string& fileName);

// Removes the print jobs' PDF files from the print folder (nothing when `printFolder` is empty
// or missing); other files of the folder stay. Returns one line for each file that could not
// be removed: its name and the reason.
std::vector<std::string> removePrintFiles(const std::filesystem::path& printFolder);

// Refuses (OrvjError) to let a PDF replace `pdfFile` when that holds something else than a
// PDF, such as a client file or an inventory file; a missing or empty file is fine.
void checkPdfTarget(const std::filesystem::path& pdfFile);

} // namespace ReportFiles
} // namespace orvj
