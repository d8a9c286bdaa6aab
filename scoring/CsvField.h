#pragma once

#include <string>
#include <string_view>

namespace orvj {

// One field of comma-separated values (RFC 4180): quoted when it holds a comma, a quote or a
// line break, with its quotes doubled.
std::string csvField(std::string_view text);

} // namespace orvj
