#pragma once

namespace orvj {

// The report options of the supervisor options: which pages a client's report holds.
enum class ReportOption : int { Standard = 0, OnePage = 1, Both = 2 };

} // namespace orvj
