#include "copy/clock.h"

#include <chrono>

namespace copy {

int64_t SteadyClock::nowMilliseconds() {
    using namespace std::chrono;
    int64_t now = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return now - now % m_tick;
}

} // namespace copy
