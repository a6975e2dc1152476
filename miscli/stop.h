#pragma once
// Ending the program: a fatal condition throws ProgramStop with its console
// line; main prints the line and exits with the status. Unit tests catch it.
#include <string>
#include <string_view>

namespace miscli {

struct ProgramStop {
    std::string line;  // written to the console when not empty
    int status;        // 1 for fatal conditions, 0 for the normal ends
};

[[noreturn]] void stop(std::string_view line, int status = 1);

// The normal end of the program (no message, status 0).
[[noreturn]] void stop_normal();

// Ending the run from a callback of a C library that must not return and
// cannot be unwound through (the window system's connection lost): the
// cleanup main has named runs, the line is written, and the program exits
// at once, without the destructors that would touch what has just failed.
void set_sudden_end_cleanup(void (*cleanup)());
[[noreturn]] void end_run_now(std::string_view line, int status);

}  // namespace miscli
