#pragma once

namespace orvj {

// The whole program: command line, start-up, event loop. Returns the process exit code.
int runApplication(int argc, char** argv);

} // namespace orvj
