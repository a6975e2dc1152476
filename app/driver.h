#pragma once
// The interactive driver: the whole console dialogue from the file name to
// the last plot. Ends by throwing miscli::ProgramStop.
#include "app/options.h"

namespace app {

[[noreturn]] void run_dialogue(const Options& options);

}  // namespace app
