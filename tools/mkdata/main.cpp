// orvj-mkdata: turns readable sources into the files the program reads.

#include "scoring/InventoryInstaller.h"
#include "store/AuditTrail.h"
#include "store/ClientFile.h"
#include "store/OrvjError.h"
#include "store/ProgramFolder.h"
#include "store/platform/File.h"
#include "tools/mkdata/ClientSource.h"
#include "tools/mkdata/QuestionBankWriter.h"
#include "tools/mkdata/QuestionSource.h"
#include "tools/mkdata/QuestionText.h"
#include "tools/mkdata/SourceText.h"

#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace orvj::mkdata;

namespace {

const char* const kHelp = R"(Usage: orvj-mkdata COMMAND ARGUMENTS

Builds the files the ORV-Juvenile program reads from readable sources, so that an office
can put its own licensed question texts and client data in place of the sample data.

Commands:
  bank ENGLISH.tsv SPANISH.tsv OUT.db
      Writes the question bank (save it as ORVj32.db in the program folder): an SQLite
      file with the table "English" and, when SPANISH.tsv exists and holds all 143 items,
      the table "Spanish". Give "-" as SPANISH.tsv for an English-only bank.
  questions ENGLISH.tsv OUT.txt
      Writes the question text file the report reads (ORV-J.TXT in the program folder):
      one line per item, "  7. " or "121. " and the question, Windows-1252, CR LF.
  clients CLIENTS.txt OUT.ovj
      Writes a client file (DATA301.OVJ in the data folder) from a readable list.
  text IN.txt OUT.txt
      Converts a UTF-8 text file to Windows-1252 with CR LF line ends (configuration and
      inventory text files).
  install [--home DIR] FOLDER
      Puts the publisher's inventory files from FOLDER into the program folder, as
      "Options > Install Inventory Files..." does: ORVJB.TXT, ORVJRPT.TXT, ORV-J.TXT,
      INVAL.TXT, PUBLISHER.TXT, the nine paragraph files (DORVVA.txt, DORVANX.txt,
      DORVDEP.txt, DORVAL.txt, DORVDG.txt, DORVSC.txt, DORVSE.txt, ORVJDI.txt, ORVJFA.txt)
      and the question bank ORVj32.db. Every file is read as the program reads it first;
      when one is missing or bad, each fault is named and nothing is replaced. Otherwise
      the files in place are copied to inventory-backup-<date> in the program folder and
      the new ones replace them. The program folder is the one given with --home; else the
      one named by ORVJ_HOME; else the folder of this program when it holds ORVJTest.ini;
      else the per-user folder $XDG_DATA_HOME/orvj (by default ~/.local/share/orvj).

Question source (.tsv): UTF-8, tab-separated, a header line
  ID TestQuestion QuestionAudio ANSWER1 ANSWER2 ANSWER3 ANSWER4 ANSWER5
  ChoiceAudio1 ChoiceAudio2 ChoiceAudio3 ChoiceAudio4 ChoiceAudio5
then one line per item 1 to 143 in order. TestQuestion is the text without its number.
ANSWER1 and ANSWER2 are always needed; leave ANSWER3 to ANSWER5 (and their ChoiceAudio
cells) empty when the item has fewer options. Audio cells hold file names without ".wav".
Sections and options: 1-50 two (True, False), 51-75 five, 76-120 four, 121-131 two
(Yes, No), 132-143 four. In the English file, ANSWER2 picks the answer-sheet grid by its
first five characters: "False", "Often" (five steps), "Somet" (frequency), exactly "No",
anything else for four statements; it must fit the section's option count. Every text must
be storable in Windows-1252.

Client source (.txt): blocks that begin with a line "[client]", then "key: value" lines:
  name, id, age (5-99 or N), sex (0-2), race (0-6), education (0-8),
  date (mm/dd/yyyy), answers (repeatable: the digits of all answers lines, spaces ignored,
  are the 143 answer codes, 0 = no answer), optional edit-count and name-deleted.
Lines beginning with "#" are comments. At most 51 clients.

Every output is written beside its final place and renamed over it only when complete.
On bad input the tool names the file and line, writes nothing, and exits with status 1.

Options:
  --home DIR  the program folder of install
  --help      show this text
  --version   show the version
)";

int usage(const std::string& problem) {
    std::cerr << "orvj-mkdata: " << problem << "\nTry \"orvj-mkdata --help\".\n";
    return 2;
}

void printWarnings(const QuestionSource& s) {
    for (const std::string& w : s.warnings) {
        std::cerr << "orvj-mkdata: warning: " << w << "\n";
    }
}

int runBank(const std::vector<std::string>& args) {
    const QuestionSource english = readQuestionSource(args[0], true);
    printWarnings(english);
    std::vector<std::pair<std::string, const QuestionSource*>> tables = {{"English", &english}};

    QuestionSource spanish;
    if (args[1] == "-") {
        // An English-only bank was asked for.
    } else if (!fs::exists(args[1])) {
        std::cerr << "orvj-mkdata: note: " << args[1]
                  << " does not exist; the bank holds English only\n";
    } else {
        try {
            spanish = readQuestionSource(args[1], false);
            checkSameOptions(english, spanish, args[1]);
            printWarnings(spanish);
            tables.emplace_back("Spanish", &spanish);
        } catch (const IncompleteSource& e) {
            std::cerr << "orvj-mkdata: note: " << e.what() << "; the bank holds English only\n";
        }
    }
    writeQuestionBank(args[2], tables);
    return 0;
}

int runQuestions(const std::vector<std::string>& args) {
    const QuestionSource english = readQuestionSource(args[0], true);
    printWarnings(english);
    writeFileAtomically(args[1], questionTextFile(english, args[0]));
    return 0;
}

int runClients(const std::vector<std::string>& args) {
    const std::string bytes = clientFileBytes(readClientSource(args[0]));
    // Under the client file's lock, as every save of the program: a program saving in that
    // data folder meanwhile is waited for, and never undone.
    try {
        orvj::ClientFile(args[1]).replaceAll(bytes);
    } catch (const orvj::OrvjError& e) {
        throw SourceError(e.what());
    }
    return 0;
}

int runText(const std::vector<std::string>& args) {
    writeFileAtomically(args[1], textToCp1252(readFile(args[0]), args[0]));
    return 0;
}

// install [--home DIR] FOLDER
int runInstall(const std::vector<std::string>& args, const fs::path& exeFolder) {
    std::optional<fs::path> home;
    std::vector<std::string> rest;
    try {
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (!orvj::takeHomeOption(args, i, home)) {
                rest.push_back(args[i]);
            }
        }
    } catch (const std::invalid_argument& e) {
        return usage(e.what());
    }
    if (rest.size() != 1) {
        return usage("install takes the folder of the inventory files, " +
                     std::to_string(rest.size()) + " arguments given");
    }
    namespace installer = orvj::InventoryInstaller;
    try {
        bool laidOut = false;
        const orvj::ProgramFolder folder =
            orvj::prepareProgramFolder(orvj::programFolderInputs(home, exeFolder), laidOut);
        if (laidOut) {
            std::cerr << "orvj-mkdata: " << orvj::firstStartNotice(folder.path) << "\n";
        }
        std::error_code ec;
        if (!fs::is_directory(folder.path, ec)) {
            std::cerr << "orvj-mkdata: the program folder " << folder.path.string()
                      << " does not exist\n";
            return 1;
        }
        const auto result = installer::install(rest[0], folder.path, installer::stampNow());
        std::cout << installer::summary(result) << "\n";
        return 0;
    } catch (const installer::Refused& e) {
        std::cerr << "orvj-mkdata: " << e.what() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "orvj-mkdata: " << e.what()
                  << "\nThe inventory files were not installed; nothing was replaced.\n";
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    // Client files hold names: private unless a folder shares them.
    orvj::platform::restrictNewFileModes();
    orvj::AuditTrail::setProgram(std::string("orvj-mkdata ") + ORVJ_VERSION);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usage("no command given");
    }
    if (args[0] == "--help" || args[0] == "-h") {
        std::cout << kHelp;
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "orvj-mkdata " << ORVJ_VERSION << "\n";
        return 0;
    }
    if (args[0] == "install") {
        return runInstall(std::vector<std::string>(args.begin() + 1, args.end()),
                          orvj::platform::executableFolder(argv[0]));
    }
    struct Command {
        const char* name;
        std::size_t argCount;
        int (*run)(const std::vector<std::string>&);
    };
    static const Command kCommands[] = {
        {"bank", 3, runBank},
        {"questions", 2, runQuestions},
        {"clients", 2, runClients},
        {"text", 2, runText},
    };
    for (const Command& c : kCommands) {
        if (args[0] != c.name) {
            continue;
        }
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (rest.size() != c.argCount) {
            return usage(std::string(c.name) + " takes " + std::to_string(c.argCount) +
                         " arguments, " + std::to_string(rest.size()) + " given");
        }
        try {
            return c.run(rest);
        } catch (const std::exception& e) {
            std::cerr << "orvj-mkdata: " << e.what() << "\n";
            return 1;
        }
    }
    return usage("unknown command \"" + args[0] + "\"");
}
