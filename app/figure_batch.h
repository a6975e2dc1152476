#pragma once
// Several one-command figures drawn in one run, the files read once for
// all the figures that name the same files and fourth variable, one after
// the other. Each figure is the dialogue's steps after the read, answered
// by its options and ended as a one-command run ends.
#include <string>
#include <vector>

#include "app/options.h"

namespace app {

// For each figure: empty when it was drawn, else the line that says why
// not. The console lines of the runs are left out.
std::vector<std::string> draw_figures(const std::vector<Options>& figures);

}  // namespace app
