// Any bytes as DATA301.OVJ: loading never fails on content, counts records by the rounding
// rule, and writing a loaded record back leaves the file byte for byte as it was.
#include "FuzzSupport.h"

#include "store/ClientFile.h"

using namespace orvj;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto path = fuzz::scratch() / ClientFile::kFileName;
    fuzz::writeFile(path, bytes);

    ClientTable table;
    const ClientFile file(path);
    const auto report = file.load(table);
    const auto rounded = static_cast<int>((size + ClientRecord::kSize / 2) / ClientRecord::kSize);
    fuzz::check(report.recordsInFile == rounded, "records counted by the rounding rule");
    fuzz::check(table.clientCount == std::min(rounded, ClientTable::kMaxClients),
                "at most 51 clients loaded");
    fuzz::check(table.currentClient == (table.clientCount > 0 ? 1 : 0), "current client");

    for (int k = 1; k <= table.clientCount; ++k) {
        const auto& r = table.at(k).bytes();
        const std::size_t at = static_cast<std::size_t>(k - 1) * ClientRecord::kSize;
        const std::size_t n = std::min(ClientRecord::kSize, size - std::min(size, at));
        fuzz::check(std::equal(r.begin(), r.begin() + static_cast<std::ptrdiff_t>(n),
                               bytes.begin() + static_cast<std::ptrdiff_t>(at)),
                    "a record holds the file's bytes");
    }
    // Writing is slow (it flushes to the disk); one record of each input is enough.
    if (table.clientCount > 0 && size % ClientRecord::kSize == 0) {
        const int k = static_cast<int>(data[0] % table.clientCount) + 1;
        ClientTable copy = table;
        const auto outcome = file.writeRecord(copy, k);
        fuzz::check(outcome.slot == k && !outcome.reloaded, "an unchanged record stays put");
        fuzz::check(fuzz::readFile(path) == bytes, "write-back changes nothing");
    }
    return 0;
}
