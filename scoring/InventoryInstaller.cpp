#include "scoring/InventoryInstaller.h"

#include "core/InventoryLayout.h"
#include "scoring/InventoryFiles.h"
#include "scoring/InventoryLoader.h"
#include "scoring/ReportTexts.h"
#include "scoring/Scales.h"
#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "store/QuestionBank.h"
#include "store/platform/File.h"

#include <chrono>
#include <ctime>
#include <system_error>

namespace orvj::InventoryInstaller {
namespace fs = std::filesystem;
namespace {

const char* const kParagraphKeys[] = {"LOW",     "MEDIUM-LOW",  "MEDIUM-HIGH",
                                      "PROBLEM", "MAXIMUM-LOW", "MAXIMUM-HIGH"};

// A question table must hold every item once, in order.
void checkQuestionTable(const QuestionBank& bank, const std::string& table) {
    const auto rows = bank.rows(table);
    if (rows.size() != static_cast<std::size_t>(InventoryLayout::kItemCount)) {
        throw OrvjError(ErrorCode::InputPastEnd,
                        "the table \"" + table + "\" holds " + std::to_string(rows.size()) +
                            " questions, not " + std::to_string(InventoryLayout::kItemCount));
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].id != static_cast<int>(i) + 1) {
            throw OrvjError(ErrorCode::TypeMismatch,
                            "row " + std::to_string(i + 1) + " of the table \"" + table +
                                "\" has the ID " + std::to_string(rows[i].id) + ", not " +
                                std::to_string(i + 1));
        }
    }
}

void checkQuestionBank(const fs::path& path) {
    const QuestionBank bank(path);
    bool english = false;
    for (const std::string& table : bank.tableNames()) {
        if (table == "English" || table == "Spanish") {
            checkQuestionTable(bank, table);
            english = english || table == "English";
        }
    }
    if (!english) {
        throw OrvjError(ErrorCode::DbNoTable, "it holds no table \"English\"");
    }
}

// The loader's message names the whole path; the supervisor is told the file's name once.
std::string reasonOf(const std::exception& e, const fs::path& path) {
    std::string text = e.what();
    const std::string prefix = path.string() + ": ";
    if (text.rfind(prefix, 0) == 0) {
        text.erase(0, prefix.size());
    }
    return text;
}

// Writes a whole file through the file layer, flushed: the write faults of tests reach it.
void writeWhole(const fs::path& to, const std::string& bytes, const std::string& what) {
    using platform::File;
    File out = File::open(to, File::Mode::CreateNew, what);
    out.writeAll(bytes.data(), bytes.size(), what);
    out.flush(what + " (flushing it to the disk failed)");
    out.close(what + " (closing it failed)");
}

fs::path freeBackupFolder(const fs::path& home, const std::string& stamp) {
    fs::path folder = home / ("inventory-backup-" + stamp);
    std::error_code ec;
    for (int n = 2; fs::exists(folder, ec); ++n) {
        folder = home / ("inventory-backup-" + stamp + "-" + std::to_string(n));
    }
    return folder;
}

} // namespace

std::vector<std::string> fileNames() {
    std::vector<std::string> names = {
        InventoryFiles::kScoringTable, InventoryFiles::kStatements, InventoryFiles::kQuestions,
        InventoryFiles::kInvalidExplanation, InventoryFiles::kPublisher};
    for (int scale = 1; scale <= Scales::kCount; ++scale) {
        names.emplace_back(Scales::paragraphFile(scale));
    }
    names.emplace_back(QuestionBank::kFileName);
    return names;
}

std::vector<Problem> check(const fs::path& source) {
    std::vector<Problem> problems;
    std::error_code ec;
    if (!fs::is_directory(source, ec)) {
        problems.push_back({source.string(), "the folder does not exist"});
        return problems;
    }
    for (const std::string& name : fileNames()) {
        if (!fs::is_regular_file(InventoryFiles::locate(source, name), ec)) {
            problems.push_back({name, "the file is missing"});
        }
    }
    if (!problems.empty()) {
        return problems;
    }
    // The scoring table, the statements, the question lines and the publisher line are read
    // together, as a report reads them; the loader names the file at fault.
    try {
        loadInventory(source);
    } catch (const OrvjError& e) {
        std::string file = InventoryFiles::kScoringTable;
        for (const char* name : {InventoryFiles::kStatements, InventoryFiles::kQuestions,
                                 InventoryFiles::kPublisher, InventoryFiles::kScoringTable}) {
            const std::string path = InventoryFiles::locate(source, name).string();
            if (std::string(e.what()).rfind(path, 0) == 0) {
                file = name;
                break;
            }
        }
        problems.push_back({file, reasonOf(e, InventoryFiles::locate(source, file))});
    }
    const fs::path inval = InventoryFiles::locate(source, InventoryFiles::kInvalidExplanation);
    try {
        ParagraphFile::untilEnd(inval);
    } catch (const OrvjError& e) {
        problems.push_back({InventoryFiles::kInvalidExplanation, reasonOf(e, inval)});
    }
    for (int scale = 1; scale <= Scales::kCount; ++scale) {
        const fs::path path = InventoryFiles::locate(source, Scales::paragraphFile(scale));
        try {
            for (const char* key : kParagraphKeys) {
                ParagraphFile::section(path, key);
            }
        } catch (const OrvjError& e) {
            problems.push_back({Scales::paragraphFile(scale), reasonOf(e, path)});
        }
    }
    const fs::path bank = InventoryFiles::locate(source, QuestionBank::kFileName);
    try {
        checkQuestionBank(bank);
    } catch (const OrvjError& e) {
        problems.push_back({QuestionBank::kFileName, reasonOf(e, bank)});
    }
    return problems;
}

Refused::Refused(std::vector<Problem> problems)
    : std::runtime_error(refusal(problems)), m_problems(std::move(problems)) {}

Result install(const fs::path& source, const fs::path& home, const std::string& stamp,
               const std::function<void(int, int)>& progress) {
    auto problems = check(source);
    if (!problems.empty()) {
        throw Refused(std::move(problems));
    }
    const auto names = fileNames();
    const int total = static_cast<int>(names.size()) * 4;
    int done = 0;
    auto step = [&] {
        if (progress) {
            progress(++done, total);
        }
    };

    // The new files are read once into a private folder of the program folder, checked there
    // again, and those very bytes are put in place: a source changed after its check (a share
    // another PC writes to) cannot slip unchecked bytes in.
    const fs::path staging = platform::File::createTemporaryBeside(home / "inventory-install",
                                                                   "making the install folder", ".")
                                 .path();
    platform::removeFile(staging);
    auto dropStaging = [&] {
        std::error_code ec;
        fs::remove_all(staging, ec);
    };
    std::vector<fs::path> pending;
    try {
        platform::makeFolder(staging, "making the install folder");
        for (const std::string& name : names) {
            const fs::path copy = staging / name;
            writeWhole(copy, InventoryFiles::readBytes(InventoryFiles::locate(source, name)),
                       copy.string() + ": reading the new " + name);
            pending.push_back(copy);
            step();
        }
    } catch (...) {
        dropStaging();
        throw;
    }
    problems = check(staging);
    if (!problems.empty()) {
        dropStaging();
        throw Refused(std::move(problems));
    }

    Result result;
    result.backupFolder = freeBackupFolder(home, stamp);
    std::vector<fs::path> targets;
    try {
        // 1. A copy of the set in place; the files themselves stay where they are.
        platform::makeFolder(result.backupFolder, "making the backup folder");
        std::error_code ec;
        for (const std::string& name : names) {
            const fs::path current = InventoryFiles::locate(home, name);
            if (fs::is_regular_file(current, ec)) {
                const fs::path copy = result.backupFolder / current.filename();
                writeWhole(copy, InventoryFiles::readBytes(current),
                           copy.string() + ": backing up " + current.filename().string());
            }
            targets.push_back(current);
            step();
            // 2. The checked file is already written beside its final name.
            step();
        }
    } catch (...) {
        dropStaging();
        std::error_code ec;
        fs::remove_all(result.backupFolder, ec);
        throw;
    }
    // 3. Each new file renamed over the old one. Should a rename fail, the files already
    //    replaced are put back from the backup.
    for (std::size_t i = 0; i < targets.size(); ++i) {
        try {
            platform::renameOver(pending[i], targets[i],
                                 targets[i].string() + ": putting the new file in place");
        } catch (...) {
            bool restored = true;
            for (std::size_t j = 0; j < i; ++j) {
                const fs::path saved = result.backupFolder / targets[j].filename();
                std::error_code ec;
                if (fs::exists(saved, ec)) {
                    try {
                        replaceFileContent(targets[j], InventoryFiles::readBytes(saved),
                                           "putting the old file back");
                    } catch (const OrvjError&) {
                        restored = false;
                    }
                } else {
                    fs::remove(targets[j], ec);
                    restored = restored && !ec;
                }
            }
            dropStaging();
            // The backup stays only while it holds a file that could not be put back.
            if (restored) {
                std::error_code ec;
                fs::remove_all(result.backupFolder, ec);
            }
            throw;
        }
        result.installed.push_back(names[i]);
        step();
    }
    dropStaging();
    platform::flushFolder(home);
    return result;
}

std::string stampNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d-%H%M%S", &local);
    return text;
}

std::string summary(const Result& result) {
    return std::to_string(result.installed.size()) +
           " inventory files were checked and put in place. The files they replaced are in " +
           result.backupFolder.string() + ".";
}

std::string refusal(const std::vector<Problem>& problems) {
    std::string text = "The inventory files were not installed; nothing was replaced.";
    for (const Problem& p : problems) {
        text += "\n" + p.file + ": " + p.reason;
    }
    return text;
}

} // namespace orvj::InventoryInstaller
