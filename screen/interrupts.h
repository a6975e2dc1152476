#pragma once
// Ctrl-C and SIGTERM. While nothing would be lost the program just ends
// (SIGTERM with its one console line and status 1, Ctrl-C as the shell
// expects); while a hardcopy is being written or the program waits for a
// window event, the signal is only noted, and the next stroke or the event
// wait ends the run cleanly so the file is finished.
#include <string_view>

namespace screen {

void install_interrupt_handler();
// Marks a stretch in which an interrupt must not kill the program at once
// (nested marks count).
void defer_interrupts(bool on);
bool interrupt_requested();
// Ends the run for the noted interrupt: its console line names it and goes
// on with `what_follows` ("the run ends."); status 130 for Ctrl-C, 1 for
// SIGTERM.
[[noreturn]] void stop_for_interrupt(std::string_view what_follows);
// Forgets a noted interrupt (for tests that raise one).
void clear_interrupt();

}  // namespace screen
