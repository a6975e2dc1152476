#include "screen/interrupts.h"

#include <csignal>
#include <string>

#include <signal.h>
#include <unistd.h>

#include "miscli/stop.h"

namespace screen {

namespace {

volatile std::sig_atomic_t deferred = 0;
volatile std::sig_atomic_t requested = 0;  // the signal noted, 0 for none

constexpr char kTerminated[] = " Stopped by SIGTERM; the run ends.\n";

extern "C" void on_interrupt(int sig) {
    if (deferred > 0) {
        requested = sig;
        return;
    }
    if (sig == SIGTERM) {
        // No hardcopy is open (writing one defers the signal) and every
        // console line is already written out: say why and go.
        [[maybe_unused]] ssize_t n = write(STDOUT_FILENO, kTerminated, sizeof kTerminated - 1);
        _exit(1);
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
    // Either signal waits while the handler runs for the other.
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void defer_interrupts(bool on) { deferred = deferred + (on ? 1 : -1); }

bool interrupt_requested() { return requested != 0; }

void stop_for_interrupt(std::string_view what_follows) {
    const bool terminated = requested == SIGTERM;
    miscli::stop(std::string(terminated ? " Stopped by SIGTERM; " : " Interrupted; ") + std::string(what_follows),
                 terminated ? 1 : 130);
}

void clear_interrupt() { requested = 0; }

}  // namespace screen
