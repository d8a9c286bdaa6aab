#pragma once

#include "core/ClientTable.h"

#include <stdexcept>
#include <string>

namespace orvj::test {

// Writes nothing: counts the calls, notes the name of the record it was given, and fails the
// first `failures` calls, then answers with `outcome` (the slot asked for when it is 0).
class FakeRecordWriter : public RecordWriter {
public:
    int failures = 0;
    Outcome outcome;
    mutable int calls = 0;
    mutable std::string nameSeen;
    mutable std::string responsesSeen;

    Outcome writeRecord(ClientTable& table, int slot) const override {
        ++calls;
        nameSeen = table.at(slot).trimmed(ClientRecord::Field::Name);
        responsesSeen = table.at(slot).field(ClientRecord::Field::Responses);
        if (calls <= failures) {
            throw std::runtime_error("DATA301.OVJ: cannot write record " + std::to_string(slot));
        }
        Outcome given = outcome;
        if (given.slot == 0) {
            given.slot = slot;
        }
        return given;
    }
};

} // namespace orvj::test
