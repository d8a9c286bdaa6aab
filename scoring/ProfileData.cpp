#include "scoring/ProfileData.h"

#include "scoring/ScaleScorer.h"

namespace orvj {

ProfileData profileOf(const ClientRecord& record, int recordNumber, const ScoringTables& tables) {
    using F = ClientRecord::Field;
    return {record.trimmed(F::Name), record.trimmed(F::SSN), record.trimmed(F::TestDate),
            recordNumber, ScaleScorer(tables).score(record, recordNumber)};
}

} // namespace orvj
