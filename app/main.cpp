#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "app/driver.h"
#include "app/heap.h"
#include "app/options.h"
#include "app/quicklook.h"
#include "app/section_command.h"
#include "app/version.h"
#include "data/variables.h"
#include "daz/plot_device.h"
#include "miscli/console.h"
#include "miscli/stop.h"
#include "screen/screen.h"

namespace {

// The usage, in two parts around the variable options, whose letters come
// from the registry.
constexpr const char* kHelpHead =
    "Usage: glidersect [--headless] [--screenshots] [--hardcopy FORMAT] [--dpi N]\n"
    "       glidersect FILE... [options]\n"
    "       glidersect quicklook MISSION... -o DIR [--recent DAYS] [--upper DBAR]\n"
    "                 [--pdf] [--force]\n"
    "       glidersect quicklook --index DIR\n"
    "Draws sections of an ocean-glider dive file (*.SCI) or of glider netCDF files\n"
    "(a file, a folder of .nc files or a pattern).\n"
    "\n"
    "The dialogue: questions on the console, plots in a graphics window; \"H\" writes\n"
    "the plot to the next free OUT01.EPS, OUT02.EPS, ... and ends the run.\n"
    "  e.g. glidersect --hardcopy pdf\n"
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
    "\n"
    "One command: with FILE named, one section is drawn into a hardcopy without\n"
    "the dialogue and without a window; each option answers one question.\n"
    "Several netCDF files named are read as one mission, in the order given.\n"
    "  e.g. glidersect mission.SCI --color T --contour D --range 0,500 \\\n"
    "           --label 3,5 --title \"Upwelling front\" -o front.pdf\n"
    "  --dives FIRST:LAST  the dives to draw (default all)\n"
    "  --reverse           the first station at the right\n"
    "  --axis S|L|D        square root of pressure (default), linear pressure,\n"
    "                      sigma-theta\n";
constexpr const char* kHelpTail =
    "  --ticks S|D         station (default) or day ticks\n"
    "  --range MIN,MAX     the vertical range (default: the data's range)\n"
    "  --title TEXT        the title (at most 45 characters)\n"
    "  --label X,Y         a contour label asked for and placed at page inches X,Y\n"
    "                      inside the frame (0.8..8 across, 0.8..7.2 up);\n"
    "                      may be repeated\n"
    "  --var4 NAME         the fourth variable of a netCDF file\n"
    "  -o NAME             the file to write (replaced if it exists; - for standard\n"
    "                      output); default the next free OUTnn name\n"
    "  --mld-csv FILE      write each profile's mixed-layer depth: profile, time,\n"
    "                      lon, lat, MLD in dbar (empty where it has none)\n"
    "  --stamp TEXT        a line along the top of the page\n"
    "  --map               the map of the dives' track instead of a section\n"
    "  --stack LETTERS     a stacked page: one panel a colour variable, top to\n"
    "                      bottom, as T,S,D, on one time or distance axis\n"
    "\n"
    "Either use:\n"
    "  --dpi N             dots per inch of a PNG, 50 to 1200 (default 150)\n"
    "  --style S           classic (default: the picture as it always was) or\n"
    "                      modern (titled axes and colour bar with units, each\n"
    "                      variable's colour map over robust limits, grey missing\n"
    "                      cells, contour labels placed along the lines)\n"
    "  --x KIND            the horizontal axis: distance (default), time or profile\n"
    "  --cmap NAME|FILE    a colour map by name, or a GMT .cpt file\n"
    "  --clim MIN,MAX      the colour bar's range\n"
    "  --ci STEP           the contour interval\n"
    "  --labels auto|hand  contour labels along the lines, or only where asked\n"
    "  --size W,H          the sheet in inches (as 7,5.6 or 3.5,2.8), text kept\n"
    "                      legible; PDF, SVG, PNG and the modern EPS\n"
    "  --eos eos80|teos10  the density axis and D: sigma-theta by EOS-80 (default)\n"
    "                      or sigma-0 by TEOS-10; teos10 (and modern) also offer\n"
    "                      A Absolute Salinity, C Conservative Temperature,\n"
    "                      G sigma-0, N buoyancy frequency squared, P spiciness-0\n"
    "  --mld [THRESHOLD]   draw the mixed-layer depth over a pressure section: where\n"
    "                      sigma-0 exceeds its 10 dbar value by 0.03 kg/m3 (or\n"
    "                      THRESHOLD)\n"
    "  -h, --help          this text\n"
    "  -V, --version       the version\n"
    "\n"
    "Quick-looks: for each mission (a file, folder or pattern) its modern sections\n"
    "of every variable against time into DIR/MISSION/, as PNG, a stacked page of\n"
    "them all and its track, with a page of them and DIR/index.html of all\n"
    "missions; a mission whose files are unchanged is skipped. Status 1 when any\n"
    "mission failed, with a line naming it.\n"
    "  e.g. parallel -j 4 glidersect quicklook {} -o ql ::: archive/*/\n"
    "  --recent DAYS       also the last DAYS of each mission (default 7)\n"
    "  --upper DBAR        also its upper DBAR (default 200)\n"
    "  --pdf               a PDF beside each PNG\n"
    "  --force             draw every mission, changed or not\n"
    "  --index DIR         only rebuild DIR/index.html (after parallel runs)\n";

// An option's help: its name in a column of 20, the text in words wrapped
// within 78 columns under itself.
std::string option_help(std::string_view option, std::string_view text) {
    constexpr std::size_t kColumn = 22, kWidth = 78;
    std::string out = "  " + std::string(option);
    out.resize(kColumn, ' ');
    std::size_t line_start = 0, at = 0;
    bool first_word = true;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, end - at);
        if (!first_word && out.size() - line_start + 1 + word.size() > kWidth) {
            out += "\n";
            line_start = out.size();
            out.append(kColumn, ' ');
        } else if (!first_word) {
            out += ' ';
        }
        out += word;
        first_word = false;
        at = end + 1;
    }
    return out + "\n";
}

// "the fourth variable (with --color 4 or --contour 4)", from the variables
// that have a log question.
std::string log_variables() {
    const data::LogPhrases p = data::log_phrases(true);
    return "the " + p.names + " (with " + p.options + ")";
}

std::string help_text() {
    const std::string tail = kHelpTail;
    const std::size_t dpi = tail.find("  --dpi N");
    return kHelpHead + ("  --color LETTER      colour variable: " +
                        data::listed_letters(app::SectionChoices{}.color, " (default)") + "\n") +
           "  --contour LETTER    line contours of " + data::listed_letters() + "; X none (default)\n" +
           option_help("--log", "log10 of " + log_variables() + "; values at or below 0 are missing") +
           tail.substr(0, dpi) +
           option_help("--hardcopy FORMAT", daz::format_list("", " (default)") +
                                                "; with -o and no --hardcopy, the name's extension chooses") +
           tail.substr(dpi);
}

// The line that ends the run. Refusals of a one-command run go to standard
// error, so that what reads standard output gets only the program's lines.
void say_last(const std::string& line, bool one_command) {
    if (line.empty()) return;
    if (!one_command) {
        miscli::console().write_line(line);
        return;
    }
    std::cout.flush();
    std::cerr << miscli::one_line(line) << '\n';
}

// A normal end whose console lines could not all be written is no success.
int output_written() {
    if (std::cout.flush()) return 0;
    std::cerr << " Cannot write to standard output; the run ends.\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    app::prepare_heap();
    if (argc > 1 && std::string_view(argv[1]) == "quicklook")
        return app::run_quicklook(std::vector<std::string>(argv + 2, argv + argc));
    app::Options options;
    std::string error;
    if (!app::parse_options(argc, argv, options, error)) {
        std::cerr << miscli::one_line(error) << '\n';
        return 1;
    }
    if (options.help) {
        std::cout << help_text();
        return 0;
    }
    // Where the run must end without unwinding (the display lost), an
    // unfinished hardcopy is still dropped.
    miscli::set_sudden_end_cleanup(daz::close_open_plot);
    if (options.version) {
        std::cout << "glidersect " << app::kVersion << '\n';
        return 0;
    }
    try {
        daz::set_hardcopy_output(app::output_of(options));
        if (!options.dive_files.empty()) app::run_section_command(options);
        screen::configure(options.headless, options.screenshots);
        screen::skip_unseen_drawing();
        app::run_dialogue(options);
    } catch (const miscli::ProgramStop& stop) {
        // An unfinished hardcopy is dropped and the window closed before
        // the last line.
        daz::close_open_plot();
        say_last(stop.line, !options.dive_files.empty());
        return stop.status == 0 ? output_written() : stop.status;
    } catch (const std::exception& e) {
        daz::close_open_plot();
        miscli::console().write_line(std::string(" Internal error: ") + e.what());
        return 1;
    }
}
