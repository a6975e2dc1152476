#pragma once
// glidersect FILE [options]: one section drawn into a hardcopy without a
// window. The dialogue runs as always; its answers come from the options.
#include "app/options.h"

namespace app {

[[noreturn]] void run_section_command(const Options& options);

}  // namespace app
