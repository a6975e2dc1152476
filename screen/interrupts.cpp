#include "screen/interrupts.h"

#include <csignal>

#include <signal.h>

namespace screen {

namespace {

volatile std::sig_atomic_t deferred = 0;
volatile std::sig_atomic_t requested = 0;

extern "C" void on_interrupt(int sig) {
    if (deferred > 0) {
        requested = 1;
        return;
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

}  // namespace

void install_interrupt_handler() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void defer_interrupts(bool on) { deferred = deferred + (on ? 1 : -1); }

bool interrupt_requested() { return requested != 0; }

void clear_interrupt() { requested = 0; }

}  // namespace screen
