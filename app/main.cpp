#include <exception>
#include <iostream>
#include <string_view>

#include "app/driver.h"
#include "app/options.h"
#include "daz/plot_device.h"
#include "miscli/console.h"
#include "miscli/stop.h"
#include "screen/screen.h"

namespace {

constexpr const char* kHelp =
    "Usage: glidersect [--headless] [--screenshots]\n"
    "Draws sections of an ocean-glider dive file (*.SCI) or of glider netCDF files\n"
    "(a file, a folder of .nc files or a pattern). The dialogue runs on the\n"
    "console; plots show in a graphics window, hardcopies go to OUT01.EPS, OUT02.EPS, ...\n"
    "\n"
    "  --headless     no window: the window events are read from standard input,\n"
    "                 one line each, between the console answers, as\n"
    "                   key C [X Y]   a key (one character, or Enter, Backspace,\n"
    "                                 Delete, Escape, Space) with the pointer at X Y\n"
    "                                 (0..10 across, 0..8 up)\n"
    "                   click [X Y]   a mouse button press\n"
    "                   type TEXT     each character of TEXT, then Enter\n"
    "                   resize W H    the window becomes W x H pixels\n"
    "                 e.g. glidersect --headless < session.txt\n"
    "  --screenshots  write the window as SCREENnn.PNG (next free number) whenever\n"
    "                 a window drawn on is cleared, closed, or open at the end\n"
    "  --help         this text\n";

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    app::Options options;
    std::string error;
    if (!app::parse_options(argc, argv, options, error)) {
        std::cout << error << '\n';
        return 1;
    }
    if (options.help) {
        std::cout << kHelp;
        return 0;
    }
    try {
        screen::configure(options.headless, options.screenshots);
        app::run_dialogue(options);
    } catch (const miscli::ProgramStop& stop) {
        // Finish what is on paper or screen before the last line.
        daz::close_open_plot();
        if (!stop.line.empty()) miscli::console().write_line(stop.line);
        return stop.status;
    } catch (const std::exception& e) {
        daz::close_open_plot();
        miscli::console().write_line(std::string(" Internal error: ") + e.what());
        return 1;
    }
}
