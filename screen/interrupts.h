#pragma once
// Ctrl-C and SIGTERM. While nothing would be lost the program just ends;
// while a hardcopy is being written or the program waits for a window
// event, the signal is only noted, and the next stroke or the event wait
// ends the run cleanly so the file is finished.
namespace screen {

void install_interrupt_handler();
// Marks a stretch in which an interrupt must not kill the program at once
// (nested marks count).
void defer_interrupts(bool on);
bool interrupt_requested();
// Forgets a noted interrupt (for tests that raise one).
void clear_interrupt();

}  // namespace screen
