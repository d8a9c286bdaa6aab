#include "core/ClientTable.h"

#include <exception>

namespace orvj {

RecordSave ClientTable::saveRecord(int slot, const Change& change, const RecordWriter& writer) {
    RecordSave result;
    result.slot = slot;
    ClientRecord& record = at(slot);
    const ClientRecord before = record;
    change(record);
    try {
        const RecordWriter::Outcome outcome = writer.writeRecord(*this, slot);
        result.slot = outcome.slot;
        result.reloaded = outcome.reloaded;
        result.notice = outcome.notice;
        if (!outcome.notice.empty()) {
            untoldNotice = outcome.notice;
        }
        result.saved = true;
    } catch (const std::exception& e) {
        // The writer leaves the table as it was before the write: only the change goes.
        record = before;
        result.fault = e.what();
    }
    return result;
}

} // namespace orvj
