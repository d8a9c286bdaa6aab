#pragma once

#include "core/ClientRecord.h"
#include "scoring/ClientScores.h"
#include "scoring/ScoringTables.h"

namespace orvj {

// Turns a client's stored answers into raw scores and percentiles with the loaded tables.
class ScaleScorer {
public:
    explicit ScaleScorer(const ScoringTables& tables) : m_tables(tables) {}

    // The whole calculation, in order: load the client, raw scores, percentiles.
    ClientScores score(const ClientRecord& record, int recordNumber) const;

    // Item codes and norm groups from the record. Throws OrvjError naming the record when the
    // sex or race code or a response character cannot be scored.
    static void loadClient(const ClientRecord& record, int recordNumber, ClientScores& scores);
    void computeRawScores(ClientScores& scores) const;
    void computePercentiles(ClientScores& scores) const;

private:
    void convertKeyedScale(ClientScores& s, int scale) const;
    void applyKeyItemFloors(ClientScores& s, int scale) const;
    void applyCrossScaleStep(ClientScores& s) const;
    void addTruthCorrection(ClientScores& s, int scale, int band) const;

    const ScoringTables& m_tables;
};

} // namespace orvj
