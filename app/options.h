#pragma once
// Command-line switches of the program (the dialogue itself takes no options).
#include <string>

namespace app {

struct Options {
    bool headless = false;     // events from the session script on stdin
    bool screenshots = false;  // write SCREENnn.PNG pictures of the window
    bool help = false;         // print the usage and end
};

// Parses argv; gives false with a message in error for an unknown switch.
// --help wins over everything else.
bool parse_options(int argc, char** argv, Options& options, std::string& error);

}  // namespace app
