#pragma once

#include "core/ClientTable.h"

#include <functional>
#include <string>

namespace orvj {

// The end of an on-screen test. The answers go into the current client's record and through
// the writer into the client file. After a failed write, `tryAgain(fault)` decides whether
// to write once more; when it declines, the answers stay with the record in memory only. The
// new client is counted either way: its record keeps its slot, so no later client takes it.
class EndOfTest {
public:
    enum class Outcome { Stored, KeptInMemory };
    using TryAgain = std::function<bool(const std::string& fault)>;

    static Outcome store(ClientTable& clients, const std::string& responses,
                         const RecordWriter& writer, const TryAgain& tryAgain);
};

} // namespace orvj
