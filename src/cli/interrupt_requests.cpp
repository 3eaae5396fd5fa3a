#include "cli/interrupt_requests.h"

#include <csignal>
#include <cstddef>
#include <iterator>

namespace cli {

namespace {

constexpr int RequestSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_requested = 0;
// Which signals carry our handler; written before any handler is installed.
bool g_handled[std::size(RequestSignals)] = {};

// Only async-signal-safe work: a flag and sigaction.
void onRequest(int) {
    g_requested = 1;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (std::size_t i = 0; i < std::size(RequestSignals); ++i) {
        if (g_handled[i]) {
            ::sigaction(RequestSignals[i], &fallback, nullptr);
        }
    }
}

} // namespace

void installInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = onRequest;
    sigemptyset(&action.sa_mask);
    for (int signal : RequestSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    // Restarted calls keep a write to the log from failing half-way with EINTR.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(RequestSignals); ++i) {
        struct sigaction previous {};
        ::sigaction(RequestSignals[i], nullptr, &previous);
        // A signal ignored at start (nohup, a background job) stays ignored, as callers expect.
        g_handled[i] = previous.sa_handler != SIG_IGN;
    }
    for (std::size_t i = 0; i < std::size(RequestSignals); ++i) {
        if (g_handled[i]) {
            ::sigaction(RequestSignals[i], &action, nullptr);
        }
    }
}

bool interruptRequested() {
    return g_requested != 0;
}

} // namespace cli
