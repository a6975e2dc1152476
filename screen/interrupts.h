#pragma once
// Ctrl-C, SIGTERM and SIGHUP. While nothing would be lost the program just
// ends (SIGTERM and SIGHUP with their one console line and status 1, Ctrl-C
// as the shell expects). While a hardcopy is being written the signal ends
// the run at once as well: the hardcopy's temporary is removed, so nothing
// is left under its name, and the console line says so (status 130 for
// Ctrl-C, 1 otherwise). In a stretch marked by defer_interrupts (the
// program waits for a window event, a hardcopy takes its name) the signal
// is only noted, and the end of the stretch ends the run cleanly.
#include <string_view>

namespace screen {

void install_interrupt_handler();
// The file descriptor the signal's console line goes to (standard output
// unless a hardcopy goes there).
void set_interrupt_line_fd(int fd);
// From now on, until forget_hardcopy_on_interrupt, a signal removes the
// file `temporary` (nothing when empty) and its console line goes on with
// `what_follows` ("OUT01.EPS is not written and the run ends.").
void drop_hardcopy_on_interrupt(std::string_view temporary, std::string_view what_follows);
void forget_hardcopy_on_interrupt();
// Marks a stretch in which an interrupt must not end the program at once
// (nested marks count).
void defer_interrupts(bool on);
bool interrupt_requested();
// Ends the run for the noted interrupt: its console line names it and goes
// on with `what_follows` ("the run ends."); status 130 for Ctrl-C, 1 for
// SIGTERM and SIGHUP.
[[noreturn]] void stop_for_interrupt(std::string_view what_follows);
// Forgets a noted interrupt (for tests that raise one).
void clear_interrupt();

}  // namespace screen
