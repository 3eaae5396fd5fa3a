// The clock the progress display throttles by and measures elapsed time with: milliseconds
// from an arbitrary origin that never goes back (so a run past midnight keeps counting).
// Tests hand in a clock of their own.
#pragma once

#include <cstdint>

namespace copy {

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t nowMilliseconds() = 0;
};

// The host's monotonic clock.
class SteadyClock final : public Clock {
public:
    int64_t nowMilliseconds() override;
};

} // namespace copy
