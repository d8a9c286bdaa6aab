#include "tools/report/ReportToolHelp.h"

namespace orvj {
namespace {

const char* const kHelp =
    "Usage: orvj-report [--home DIR] COMMAND [OPTIONS]\n"
    "\n"
    "Composes, prints and lists ORV-Juvenile reports from the command line, exactly as the\n"
    "program's windows do. The program folder (inventory files, ORVJTest.ini, REPORT.PRN) is\n"
    "the one given with --home DIR; else the one named by the environment variable ORVJ_HOME;\n"
    "else the folder of this executable when it holds ORVJTest.ini; else the per-user folder\n"
    "$XDG_DATA_HOME/orvj (by default ~/.local/share/orvj), laid out with sample content on\n"
    "its first use. The client file is found through FilePath in [Path] of ORVJTest.ini.\n"
    "\n"
    "Commands:\n"
    "  --client N      compose client N's report into REPORT.PRN in the program folder\n"
    "  --all           compose every client's report, as \"Print all clients' reports\" does:\n"
    "                  REPORT.PRN and the numbered copies temp1, temp2, ... in the program\n"
    "                  folder (REPORT.PRN then holds the last client's report)\n"
    "  --list          list the clients: record number, name, test date, answers complete\n"
    "  --scores        raw score, percentile and risk range of the nine scales for every client\n"
    "  --help          show this text\n"
    "\n"
    "Options:\n"
    "  --home DIR      use DIR as the program folder\n"
    "  --option standard|one-page|both\n"
    "                  the report form for --client and --all (default standard)\n"
    "  --pdf FILE      also write the report(s) to a PDF file, one report page to a sheet;\n"
    "                  with --all, one PDF of all reports in record order. An existing\n"
    "                  FILE is replaced only when it is a PDF file or empty\n"
    "  --print         also print the report(s) on the default printer, in record order\n"
    "  --csv           with --scores: research export, comma-separated values (RFC 4180,\n"
    "                  UTF-8, CR LF line ends) with this header line:\n"
    "                  record,name,id,age,sex,sex label,race,race label,education,\n"
    "                  education label,test date,edit count,validity, then for each scale\n"
    "                  \"<SCALE> raw,<SCALE> percentile,<SCALE> risk\"\n"
    "  --deidentified  with --scores: a random study number (new each run) instead of the\n"
    "                  record number, name and ID; the test year instead of the date; no\n"
    "                  edit count. With --csv the header line begins\n"
    "                  study,age,sex,...,education label,test year,validity\n"
    "  --responses     with --scores --csv: add the column \"responses\", the 143 answer codes\n"
    "\n"
    "Exit status: 0 on success; 1 when a file or a client could not be read or written (the\n"
    "message on standard error names the file and what was wrong); 2 on a usage error.\n";

} // namespace

const char* reportToolHelp() {
    return kHelp;
}

} // namespace orvj
