#pragma once

#include "tools/mkdata/QuestionSource.h"

#include <string>

namespace orvj::mkdata {

// The question text file the report reads: one line per item in item order, each a
// five-character prefix (the item number right-aligned in three places, ". ") and the
// question, in Windows-1252 with CR LF line ends.
std::string questionTextFile(const QuestionSource& source, const std::string& sourceName);

} // namespace orvj::mkdata
