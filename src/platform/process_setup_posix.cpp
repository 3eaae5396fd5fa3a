#include "platform/process_setup.h"

#include <csignal>

namespace platform {

void treatFileSizeLimitAsFullDisk() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace platform
