#include "store/platform/WriteFaults.h"

#include <atomic>
#include <cerrno>

namespace orvj::platform {
namespace {

struct Armed {
    std::atomic<bool> on{false};
    std::atomic<int> op{0};
    std::atomic<int> nth{0};
    std::atomic<int> seen{0};
    std::atomic<int> kind{0};
    std::atomic<bool> struck{false};
    std::atomic<bool> diskFullNext{false};
};

Armed& armed() {
    static Armed a;
    return a;
}

int errorOf(detail::FaultAction fault) {
    switch (fault) {
    case detail::FaultAction::Fail:
        return EIO;
    case detail::FaultAction::DiskFull:
        return ENOSPC;
    case detail::FaultAction::None:
    case detail::FaultAction::Short:
        break;
    }
    return 0;
}

} // namespace

void armWriteFault(FaultOp op, int nth, FaultKind kind) {
    Armed& a = armed();
    a.op = static_cast<int>(op);
    a.nth = nth;
    a.seen = 0;
    a.kind = static_cast<int>(kind);
    a.struck = false;
    a.diskFullNext = false;
    a.on = true;
}

void disarmWriteFaults() {
    armed().on = false;
    armed().diskFullNext = false;
}

bool writeFaultStruck() {
    return armed().struck;
}

namespace detail {

FaultAction nextFault(FaultOp op) {
    Armed& a = armed();
    if (!a.on || a.op != static_cast<int>(op)) {
        return FaultAction::None;
    }
    if (a.diskFullNext.exchange(false)) {
        return FaultAction::DiskFull;
    }
    if (a.struck || ++a.seen != a.nth) {
        return FaultAction::None;
    }
    a.struck = true;
    if (static_cast<FaultKind>(a.kind.load()) == FaultKind::Short && op == FaultOp::Write) {
        a.diskFullNext = true;
        return FaultAction::Short;
    }
    return FaultAction::Fail;
}

int nextFaultError(FaultOp op) {
    return errorOf(nextFault(op));
}

int nextWriteFault(std::size_t& chunk) {
    const FaultAction fault = nextFault(FaultOp::Write);
    if (fault == FaultAction::Short) {
        chunk = chunk / 2 > 0 ? chunk / 2 : 1;
    }
    return errorOf(fault);
}

} // namespace detail
} // namespace orvj::platform
