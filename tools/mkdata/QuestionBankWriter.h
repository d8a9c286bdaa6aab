#pragma once

#include "tools/mkdata/QuestionSource.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace orvj::mkdata {

// Writes the question bank: an SQLite file holding one table per language, named by the
// language ("English", "Spanish"), in the order given, rows in ID order. Empty options are
// stored as NULL. The file is built beside its final place and renamed over it at the end.
void writeQuestionBank(const std::filesystem::path& file,
                       const std::vector<std::pair<std::string, const QuestionSource*>>& tables);

} // namespace orvj::mkdata
