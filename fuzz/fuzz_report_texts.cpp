// Any bytes as one of the report text files (the first byte chooses which), beside the
// sample's other files: the inventory loads and a report is composed, or the refusal names the
// file and the line.
#include "FuzzSupport.h"

#include "scoring/ReportWriter.h"
#include "store/ClientFile.h"
#include "store/OrvjError.h"

#include <array>

using namespace orvj;

namespace {

constexpr std::array<const char*, 13> kFiles = {
    "ORVJRPT.TXT", "ORV-J.TXT",  "INVAL.TXT",    "DORVVA.txt", "DORVANX.txt",
    "DORVDEP.txt", "DORVAL.txt", "DORVDG.txt",   "DORVSC.txt", "DORVSE.txt",
    "ORVJDI.txt",  "ORVJFA.txt", "PUBLISHER.TXT"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto home = fuzz::sampleHome();
    static const std::string kSampleClient = [] {
        ClientTable t;
        ClientFile(std::filesystem::path(ORVJ_SAMPLE_HOME) / "data" / ClientFile::kFileName)
            .load(t);
        return std::string(t.at(1).bytes().begin(), t.at(1).bytes().end());
    }();
    const char* name = kFiles[data[0] % kFiles.size()];
    const std::string original = fuzz::readFile(home / name);
    fuzz::writeFile(home / name,
                    std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    ClientTable clients;
    std::copy(kSampleClient.begin(), kSampleClient.end(), clients.at(1).bytes().begin());
    clients.clientCount = 1;
    try {
        ReportWriter(home).composeText(clients, 1, ReportOption::Both);
    } catch (const OrvjError& e) {
        const std::string what = e.what();
        fuzz::check(what.find(name) != std::string::npos, "the refusal names the file", what);
        fuzz::check(what.find("line") != std::string::npos, "the refusal names the line", what);
    }
    fuzz::writeFile(home / name, original);
    return 0;
}
