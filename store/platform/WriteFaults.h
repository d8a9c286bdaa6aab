#pragma once

#include <cstddef>

namespace orvj::platform {

// A seam for tests: makes the n-th write, flush, close or rename of the file layer fail, or
// come up short, counted from the moment it is armed. Production code never arms it.
enum class FaultOp { Write, Flush, Close, Rename };

enum class FaultKind {
    Fail,  // the call fails with an input/output error and changes nothing
    Short, // (writes) half the bytes are written, then the next attempt finds the disk full
};

void armWriteFault(FaultOp op, int nth, FaultKind kind = FaultKind::Fail);
void disarmWriteFaults();

// True once the armed fault has struck.
bool writeFaultStruck();

namespace detail {
enum class FaultAction { None, Fail, Short, DiskFull };
// Called by the file layer before each operation: what the armed fault asks of this call.
FaultAction nextFault(FaultOp op);
// The error number a flush, close or rename fails with under the armed fault, 0 for none.
int nextFaultError(FaultOp op);
// Before one write of `chunk` bytes: the error number to fail with (0 for none); a short write
// halves `chunk` instead.
int nextWriteFault(std::size_t& chunk);
} // namespace detail

} // namespace orvj::platform
