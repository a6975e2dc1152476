#pragma once
// The quick-looks of a glider data centre: for each mission named, the
// standard set of modern sections (each variable against time, the whole
// mission, its last days and its upper part) as PNG (and PDF), a page of
// them, and an index of every mission in the folder; a mission whose files
// have not changed since is skipped. One mission after another in this
// process; a scheduler runs many processes.
#include <string>
#include <vector>

namespace app {

// `args` are those after "quicklook". Gives the exit status: 0 when every
// mission was drawn or skipped, 1 when any failed or the options are bad.
int run_quicklook(const std::vector<std::string>& args);

}  // namespace app
