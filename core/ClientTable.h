#pragma once

#include "core/ClientRecord.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace orvj {

struct ClientTable;

// Writes one record of the client table to the client file; the client file implements it,
// tests put in one that fails.
class RecordWriter {
public:
    struct Outcome {
        int slot = 0;          // the record number the record now has in the file and table
        bool reloaded = false; // another program had changed the file: the table was brought
                               // up to date with it, so the client list should be rebuilt
        std::string notice;    // something the supervisor should be told once, or empty
    };
    // Throws on a fault and then leaves the table as it was.
    virtual Outcome writeRecord(ClientTable& table, int slot) const = 0;

protected:
    ~RecordWriter() = default;
};

// What saving a record gave. On a fault the record in memory is back as it was before the
// change, so memory and file agree, and `fault` holds the writer's message.
struct RecordSave {
    int slot = 0; // the record that was to be saved, or, once saved, its record number
    bool saved = false;
    bool reloaded = false; // as RecordWriter::Outcome::reloaded
    std::string notice;    // as RecordWriter::Outcome::notice
    std::string fault;
};

// The client table in memory: slots 0 to 51, slot k holds file record k, slot 0 is never
// used, so at most 51 clients.
struct ClientTable {
    static constexpr int kSlots = 52;
    static constexpr int kMaxClients = kSlots - 1;
    // The record worked on when no client has been chosen.
    static constexpr std::int16_t kDefaultClient = 1;

    std::array<ClientRecord, kSlots> records{}; // not "slots": that word is a Qt macro
    std::int16_t clientCount = 0;               // records loaded or added
    std::int16_t currentClient = 0;             // slot of the client being worked on
    // A save's notice not yet shown to the supervisor (the main menu shows it when it is
    // back in front), so that a notice never reaches the client at the screen.
    std::string untoldNotice;

    ClientRecord& current() { return records.at(static_cast<std::size_t>(currentClient)); }
    const ClientRecord& current() const {
        return records.at(static_cast<std::size_t>(currentClient));
    }
    ClientRecord& at(int slot) { return records.at(static_cast<std::size_t>(slot)); }
    const ClientRecord& at(int slot) const { return records.at(static_cast<std::size_t>(slot)); }

    bool isFull() const { return clientCount >= kMaxClients; }

    // Every field of the current slot becomes spaces; nothing is written to the file.
    void clearCurrent() { current().clear(); }

    // Makes record 1 current when no client is chosen.
    void chooseDefaultClient() {
        if (currentClient == 0) {
            currentClient = kDefaultClient;
        }
    }

    // The new client whose test was abandoned: its slot is cleared in memory and record 1
    // becomes current again. Nothing is written.
    void dropNewClient() {
        clearCurrent();
        currentClient = kDefaultClient;
    }

    // Called once when a new client's test has been stored.
    void countNewTest() { ++clientCount; }

    using Change = std::function<void(ClientRecord&)>;

    // Applies `change` to the record in `slot` and writes that record through `writer`. When
    // the write fails the record is put back as it was and the fault is returned, not thrown.
    RecordSave saveRecord(int slot, const Change& change, const RecordWriter& writer);
    RecordSave saveCurrent(const Change& change, const RecordWriter& writer) {
        return saveRecord(currentClient, change, writer);
    }
};

} // namespace orvj
