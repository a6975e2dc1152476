#pragma once
// The command line: the switches of the dialogue run, and the file name and
// options of a one-command section.
#include <string>
#include <vector>

#include "app/section_choices.h"
#include "daz/hardcopy_format.h"
#include "section/look.h"

namespace app {

struct Options {
    bool headless = false;     // events from the session script on stdin
    bool screenshots = false;  // write SCREENnn.PNG pictures of the window
    bool help = false;         // print the usage and end
    bool version = false;      // print the version and end
    daz::HardcopyOutput hardcopy;  // what "H" writes
    // Given: draw the section at once, no dialogue. Several are netCDF
    // files read as one mission, in this order (a pattern the shell expanded).
    std::vector<std::string> dive_files;
    SectionChoices section;    // the answers of that run
    std::string mld_csv;       // the one command writes each profile's mixed-layer depth here
    std::string stamp;         // a line along the top of the page (a quick-look's mission and times)
    bool map = false;          // the one command draws the track map, not a section
    section::LookChoices look_choices;  // the figure's look as the options chose it
    section::Look look;        // and as it is drawn
};

// The hardcopy as the options draw it: a modern figure's EPS is the
// upright page, as journals take it, and its PNG paints the cells as one
// image at its own resolution.
daz::HardcopyOutput output_of(const Options& options);

// Parses argv; gives false with the one console line in error for an
// unknown option or a bad value. --help and --version win over everything.
bool parse_options(int argc, char** argv, Options& options, std::string& error);

}  // namespace app
