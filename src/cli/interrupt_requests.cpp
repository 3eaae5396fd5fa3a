#include "cli/interrupt_requests.h"

#include <csignal>

namespace cli {

namespace {

constexpr int RequestSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_requested = 0;

void setDefaultAction() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : RequestSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

// Only async-signal-safe work: a flag and sigaction.
void onRequest(int) {
    g_requested = 1;
    setDefaultAction();
}

} // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = onRequest;
    sigemptyset(&action.sa_mask);
    for (int signal : RequestSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    // Restarted calls keep a write to the log from failing half-way with EINTR.
    action.sa_flags = SA_RESTART;
    for (int signal : RequestSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

bool InterruptRequested() {
    return g_requested != 0;
}

} // namespace cli
