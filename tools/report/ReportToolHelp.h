#pragma once

namespace orvj {

// orvj-report's --help text: usage, commands, options and exit status.
const char* reportToolHelp();

} // namespace orvj
