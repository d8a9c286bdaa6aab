#include "store/ProgramFolder.h"

#include "store/platform/File.h"

#include "store/ConfigFile.h"
#include "store/OrvjError.h"

#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#ifndef ORVJ_TEMPLATE_FROM_BIN
#define ORVJ_TEMPLATE_FROM_BIN "../share/orvj"
#endif

namespace orvj {
namespace fs = std::filesystem;
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

fs::path absoluteFolder(const fs::path& p) {
    std::error_code ec;
    fs::path a = fs::absolute(p, ec);
    return (ec ? p : a).lexically_normal();
}

bool holdsConfigFile(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_regular_file(folder / ConfigFile::kFileName, ec);
}

[[noreturn]] void layoutFault(const fs::path& folder, const std::string& why, std::error_code ec) {
    const int code = ec == std::errc::permission_denied || ec == std::errc::read_only_file_system
                         ? ErrorCode::PermissionDenied
                     : ec == std::errc::no_space_on_device ? ErrorCode::DiskFull
                                                           : ErrorCode::PathNotFound;
    throw OrvjError(code, "the program folder " + folder.string() + " could not be set up: " + why +
                              (ec ? ": " + ec.message() : std::string()));
}

// Undoes a layout that failed half way: the files it copied, then the folders it made,
// deepest first.
class LayoutUndo {
public:
    void made(const fs::path& p) { m_made.push_back(p); }
    void commit() { m_made.clear(); }
    ~LayoutUndo() {
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it) {
            std::error_code ec;
            fs::remove(*it, ec);
        }
    }

private:
    std::vector<fs::path> m_made;
};

void makeFolder(const fs::path& folder, const fs::path& top, LayoutUndo& undo) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) {
        return;
    }
    if (folder.has_parent_path() && folder.parent_path() != folder) {
        makeFolder(folder.parent_path(), top, undo);
    }
    const std::string within = top.lexically_normal().string();
    if (folder.lexically_normal().string().rfind(within, 0) == 0) {
        // The program folder and what is in it are the user's alone: they hold client names.
        try {
            platform::makeFolder(folder, "cannot make the folder");
        } catch (const OrvjError& e) {
            throw OrvjError(ErrorCode::PermissionDenied,
                            top.string() + ": the program folder cannot be laid out: " + e.what());
        }
    } else if (!fs::create_directory(folder, ec) && ec) {
        layoutFault(top, "cannot make the folder " + folder.string(), ec);
    }
    undo.made(folder);
}

void copyNew(const fs::path& from, const fs::path& to, const fs::path& top, LayoutUndo& undo) {
    std::error_code ec;
    if (fs::exists(to, ec)) {
        return;
    }
    // Written as a new private file, whatever the template's mode (an install's template is
    // read-only and readable by all; the copy is the user's to change and the user's alone).
    try {
        using platform::File;
        const std::string what = "cannot copy " + from.string() + " to " + to.string();
        constexpr std::uint64_t kMaxTemplateFile = std::uint64_t{256} << 20;
        const std::string bytes =
            File::open(from, File::Mode::Read, what).readAll(kMaxTemplateFile, what);
        File out = File::open(to, File::Mode::CreateNew, what);
        undo.made(to);
        out.writeAll(bytes.data(), bytes.size(), what);
        out.close(what);
    } catch (const OrvjError& e) {
        throw OrvjError(e.code(),
                        top.string() + ": the program folder cannot be laid out: " + e.what());
    }
}

} // namespace

std::string ProgramFolder::reason() const {
    switch (source) {
    case Source::Option:
        return "given with --home";
    case Source::Environment:
        return "named by ORVJ_HOME";
    case Source::Portable:
        return "the program's own folder, which holds ORVJTest.ini";
    case Source::PerUser:
        return "the per-user folder";
    }
    return {};
}

bool takeHomeOption(const std::vector<std::string>& args, std::size_t& i,
                    std::optional<fs::path>& home) {
    constexpr std::string_view kName = "--home";
    const std::string& arg = args[i];
    if (arg.compare(0, kName.size(), kName) != 0 ||
        (arg.size() > kName.size() && arg[kName.size()] != '=')) {
        return false;
    }
    if (home) {
        throw std::invalid_argument("--home is given more than once");
    }
    std::string value;
    if (arg.size() > kName.size()) {
        value = arg.substr(kName.size() + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];
    }
    if (value.empty()) {
        throw std::invalid_argument("--home needs the program folder after it");
    }
    home = fs::path(value);
    return true;
}

ProgramFolderInputs programFolderInputs(std::optional<fs::path> option, fs::path executableFolder) {
    ProgramFolderInputs in;
    in.option = std::move(option);
    in.envHome = environment("ORVJ_HOME");
    in.executableFolder = std::move(executableFolder);
    in.xdgDataHome = environment("XDG_DATA_HOME");
    in.userHome = environment("HOME");
    if (in.userHome.empty()) {
        in.userHome = environment("USERPROFILE");
    }
    return in;
}

fs::path perUserFolder(const ProgramFolderInputs& in) {
    // A relative XDG_DATA_HOME is invalid and is ignored, as the base-directory rules say.
    if (!in.xdgDataHome.empty() && fs::path(in.xdgDataHome).is_absolute()) {
        return (fs::path(in.xdgDataHome) / "orvj").lexically_normal();
    }
    if (in.userHome.empty()) {
        return {};
    }
    return (fs::path(in.userHome) / ".local" / "share" / "orvj").lexically_normal();
}

ProgramFolder chooseProgramFolder(const ProgramFolderInputs& in) {
    if (in.option && !in.option->empty()) {
        return {absoluteFolder(*in.option), ProgramFolder::Source::Option};
    }
    if (!in.envHome.empty()) {
        return {absoluteFolder(in.envHome), ProgramFolder::Source::Environment};
    }
    if (holdsConfigFile(in.executableFolder)) {
        return {in.executableFolder, ProgramFolder::Source::Portable};
    }
    const fs::path user = perUserFolder(in);
    if (user.empty()) {
        throw OrvjError(ErrorCode::PathNotFound,
                        "no program folder: neither HOME nor XDG_DATA_HOME is set, so the "
                        "per-user folder is unknown; give one with --home DIR or ORVJ_HOME");
    }
    return {user, ProgramFolder::Source::PerUser};
}

fs::path templateFolderFor(const fs::path& executableFolder) {
    return (executableFolder / ORVJ_TEMPLATE_FROM_BIN).lexically_normal();
}

bool layOutProgramFolder(const fs::path& folder, const fs::path& templateFolder) {
    if (holdsConfigFile(folder)) {
        return false;
    }
    std::error_code ec;
    if (!fs::is_regular_file(templateFolder / ConfigFile::kFileName, ec)) {
        throw OrvjError(ErrorCode::FileNotFound,
                        "the program folder " + folder.string() +
                            " could not be set up: the installed template " +
                            templateFolder.string() + " is missing or holds no " +
                            ConfigFile::kFileName);
    }
    LayoutUndo undo;
    makeFolder(folder, folder, undo);
    fs::recursive_directory_iterator it(templateFolder, ec);
    if (ec) {
        layoutFault(folder, "cannot read the template " + templateFolder.string(), ec);
    }
    for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            layoutFault(folder, "cannot read the template " + templateFolder.string(), ec);
        }
        const fs::path relative = it->path().lexically_relative(templateFolder);
        const fs::path target = folder / relative;
        if (it->is_directory(ec)) {
            makeFolder(target, folder, undo);
        } else if (it->is_regular_file(ec) && relative != ConfigFile::kFileName) {
            copyNew(it->path(), target, folder, undo);
        }
    }
    if (ec) {
        layoutFault(folder, "cannot read the template " + templateFolder.string(), ec);
    }
    copyNew(templateFolder / ConfigFile::kFileName, folder / ConfigFile::kFileName, folder, undo);
    undo.commit();
    return true;
}

ProgramFolder prepareProgramFolder(const ProgramFolderInputs& in, bool& laidOut) {
    laidOut = false;
    ProgramFolder chosen = chooseProgramFolder(in);
    if (chosen.source == ProgramFolder::Source::PerUser) {
        laidOut = layOutProgramFolder(chosen.path, templateFolderFor(in.executableFolder));
    }
    return chosen;
}

std::string programFolderLine(const ProgramFolderInputs& in) {
    try {
        const ProgramFolder chosen = chooseProgramFolder(in);
        std::string line = "Program folder: " + chosen.path.string() + " (" + chosen.reason();
        if (chosen.source == ProgramFolder::Source::PerUser && !holdsConfigFile(chosen.path)) {
            line += "; laid out from " + templateFolderFor(in.executableFolder).string() +
                    " on the first start";
        }
        return line + ")";
    } catch (const OrvjError& e) {
        return std::string("Program folder: none: ") + e.what();
    }
}

std::string firstStartNotice(const fs::path& folder) {
    return "ORV-Juvenile has set up its program folder at " + folder.string() +
           ".\n\nIt holds SAMPLE content: a sample inventory and seven sample clients, written "
           "to try the program. Their scores mean nothing clinically.\n\nPut the office's "
           "licensed files in place with \"Options > Install Inventory Files...\" (or "
           "\"orvj-mkdata install DIR\"), and start the office's own data folder with "
           "\"Options > Data Folder...\".";
}

} // namespace orvj
