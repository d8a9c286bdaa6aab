#pragma once

#include "core/ClientRecord.h"

#include <array>
#include <cstdint>

namespace orvj {

// The client table in memory: slots 0 to 51, slot k holds file record k, slot 0 is never
// used, so at most 51 clients.
struct ClientTable {
    static constexpr int kSlots = 52;
    static constexpr int kMaxClients = kSlots - 1;

    std::array<ClientRecord, kSlots> records{}; // not "slots": that word is a Qt macro
    std::int16_t clientCount = 0;               // records loaded or added
    std::int16_t currentClient = 0;             // slot of the client being worked on

    ClientRecord& current() { return records.at(static_cast<std::size_t>(currentClient)); }
    const ClientRecord& current() const {
        return records.at(static_cast<std::size_t>(currentClient));
    }
    ClientRecord& at(int slot) { return records.at(static_cast<std::size_t>(slot)); }
    const ClientRecord& at(int slot) const { return records.at(static_cast<std::size_t>(slot)); }

    bool isFull() const { return clientCount >= kMaxClients; }

    // Every field of the current slot becomes spaces; nothing is written to the file.
    void clearCurrent() { current().clear(); }

    // Called once when a new client's test has been stored.
    void countNewTest() { ++clientCount; }
};

} // namespace orvj
