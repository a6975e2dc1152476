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

}  // namespace miscli
