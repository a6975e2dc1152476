#include "screen/interrupts.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <string>

#include <signal.h>
#include <unistd.h>

#include "miscli/stop.h"

namespace screen {

namespace {

volatile std::sig_atomic_t deferred = 0;
volatile std::sig_atomic_t requested = 0;  // the signal noted, 0 for none
volatile std::sig_atomic_t line_fd = STDOUT_FILENO;

// What a signal undoes while a hardcopy is written. The handler reads it
// only while `armed` is set, and it is changed only while it is not.
std::atomic<bool> armed{false};
char temporary[4096];      // a path is shorter, or it could not have been made
char what_follows[4608];   // the console line's end, with its '\n'
static_assert(std::atomic<bool>::is_always_lock_free);

const char* opening(int sig) {
    if (sig == SIGTERM) return " Stopped by SIGTERM; ";
    if (sig == SIGHUP) return " Stopped by SIGHUP; ";
    return " Interrupted; ";
}

void say(const char* text) {
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = write(line_fd, text, left);
        if (n <= 0) return;  // nobody to tell
        text += n;
        left -= static_cast<std::size_t>(n);
    }
}

extern "C" void on_interrupt(int sig) {
    if (deferred > 0) {
        requested = sig;
        return;
    }
    if (armed.load()) {
        // The hardcopy cannot be completed: its temporary goes (an unnamed
        // one goes with the process), and nothing takes its name.
        if (temporary[0] != '\0') unlink(temporary);
        say(opening(sig));
        say(what_follows);
        _exit(sig == SIGINT ? 130 : 1);
    }
    if (sig != SIGINT) {
        // Every console line is already written out: say why and go.
        say(opening(sig));
        say("the run ends.\n");
        _exit(1);
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// Copies `text` into `out` (room for n), cut to fit.
void keep(std::string_view text, char* out, std::size_t n) {
    const std::size_t k = std::min(text.size(), n - 1);
    std::memcpy(out, text.data(), k);
    out[k] = '\0';
}

}  // namespace

void install_interrupt_handler() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    // Each signal waits while the handler runs for another.
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, sig);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

void set_interrupt_line_fd(int fd) { line_fd = fd; }

void drop_hardcopy_on_interrupt(std::string_view temp, std::string_view follows) {
    armed.store(false);
    if (temp.size() >= sizeof temporary) temp = {};  // never a path cut short
    keep(temp, temporary, sizeof temporary);
    keep(std::string(follows.substr(0, sizeof what_follows - 2)) + "\n", what_follows, sizeof what_follows);
    armed.store(true);
}

void forget_hardcopy_on_interrupt() { armed.store(false); }

void defer_interrupts(bool on) { deferred = deferred + (on ? 1 : -1); }

bool interrupt_requested() { return requested != 0; }

void stop_for_interrupt(std::string_view follows) {
    const int sig = requested;
    miscli::stop(opening(sig) + std::string(follows), sig == SIGINT ? 130 : 1);
}

void clear_interrupt() { requested = 0; }

}  // namespace screen
