#include "copy/clock.h"

#include <chrono>

namespace copy {

int64_t SteadyClock::nowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace copy
