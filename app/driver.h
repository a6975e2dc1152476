#pragma once
// The interactive driver: the whole console dialogue from the file name to
// the last plot. Ends by throwing miscli::ProgramStop.
#include "app/options.h"

namespace app {

struct Session;

[[noreturn]] void run_dialogue(const Options& options);

// Its parts: what the options choose of the session (the look, the stamp,
// a map or a stacked page), and all the dialogue's steps after the file is
// read, from the track to the last plot.
void take_options(Session& s, const Options& options);
[[noreturn]] void draw_read_file(Session& s);

}  // namespace app
