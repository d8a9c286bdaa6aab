#pragma once

#include "store/Clock.h"

namespace orvj {

// The program's clock: its pause keeps the windows painted, while keys and clicks wait until
// the pause is over (the secret-code prompt takes no code during its pause).
class QtClock : public SystemClock {
public:
    void pause(std::chrono::seconds duration) override;
};

} // namespace orvj
