#include "miscli/stop.h"

#include <cstdio>
#include <cstdlib>

#include "miscli/console.h"

namespace miscli {

namespace {
void (*sudden_end_cleanup)() = nullptr;
}  // namespace

void stop(std::string_view line, int status) { throw ProgramStop{std::string(line), status}; }

void stop_normal() { throw ProgramStop{{}, 0}; }

void set_sudden_end_cleanup(void (*cleanup)()) { sudden_end_cleanup = cleanup; }

void end_run_now(std::string_view line, int status) {
    // Run once only, should the cleanup itself end up here again.
    if (auto cleanup = sudden_end_cleanup) {
        sudden_end_cleanup = nullptr;
        cleanup();
    }
    if (!line.empty()) console().write_line(line);
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace miscli
