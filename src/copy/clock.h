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

// The host's monotonic clock, read in whole ticks. The display lets each bar change once per
// change of the reading; a tick of 16 ms (the step of the desktop's time of day on the system
// the program was designed for) keeps that to some 60 redraws a second, smooth to the eye,
// where a reading that changed every millisecond would let the window process its messages
// up to 3000 times a second.
class SteadyClock final : public Clock {
public:
    static constexpr int64_t DefaultTick = 16;
    explicit SteadyClock(int64_t tickMilliseconds = DefaultTick)
        : m_tick(tickMilliseconds > 0 ? tickMilliseconds : 1) {}
    int64_t nowMilliseconds() override;

private:
    int64_t m_tick;
};

} // namespace copy
