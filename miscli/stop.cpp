#include "miscli/stop.h"

namespace miscli {

void stop(std::string_view line, int status) { throw ProgramStop{std::string(line), status}; }

void stop_normal() { throw ProgramStop{{}, 0}; }

}  // namespace miscli
