#pragma once
// All the driver's data: the dive table, the section arrays, the grids and
// the choices of the dialogue. Sized once the file has been read; the grids
// grow when a typed range needs more levels than any range before.
#include <array>
#include <string>
#include <vector>

#include "data/dive_table.h"
#include "section/look.h"
#include "miscli/array.h"
#include "miscli/ragged_array.h"

namespace app {

struct Session {
    // Track, station and section arrays for the dives the file has given.
    void size_for_dives();
    // Grids of at least n_levels levels for every dive.
    void size_grids(int n_levels);

    std::string file_name;
    section::Look look;                 // how the figure is drawn beyond the classic picture
    data::FileHeader header;
    data::DiveTable dives;

    miscli::Array1<float> track_km;
    miscli::Array1<float> station_x;    // each station's place on the horizontal axis
    miscli::Array1<float> station_day;
    int first_dive = 1, last_dive = 1;
    bool reverse = false;
    bool day_tics = false;
    bool density_converted = false;
    bool said_reference_salinity = false;
    bool said_mld_axis = false;            // ... and that the mixed-layer line needs a pressure axis  // the run has said that dives without position take SR

    char color_var = ' ', line_var = 'X';
    std::string label_color = std::string(20, ' '), label_line = std::string(20, ' ');
    int log_color = 0, log_line = 0, is_adcp = 0;
    // Titled figures: each variable's full name and unit, as stroke text.
    std::string title_color, title_line;

    miscli::RaggedArray2<float> sec_val, sec_z;  // a dive's samples or bins, whichever are more
    miscli::Array1<int> sec_n;

    float grid_step = 5.0f;
    miscli::Array1<float> grid_z;       // level edges: one more than the grid's levels
    miscli::Array2<float> grid_color, grid_line;
    miscli::Array1<int> grid_work;
    int n_levels = 0;
    float color_lo = 0, color_hi = 0, line_lo = 0, line_hi = 0;
    float contour_step = 0.0f;          // handed to the plots, set by none
    int label_count = 0;
    char device_code = 'S';

    // The mixed-layer depth of each dive of the section [dbar] (index d -
    // first_dive; NaN where it has none), and the file the one command
    // writes them to.
    std::vector<float> mld;
    std::string mld_csv;
    std::string stamp;  // the line along the top of the page, as stroke text
    bool map_only = false;  // the run draws the track map into the hardcopy and ends
    std::string map_title;  // ... under this title

    // Line variables gridded before in this run, for the figures that draw
    // the same lines again (a quick-look's density contours over each of
    // its variables): the grid, keyed by all it was made from, and its label.
    struct GriddedLines {
        std::string key;
        miscli::Array2<float> grid;
        std::string label;
    };
    std::vector<GriddedLines> gridded_lines;

    // A stacked page: the colour variable of each panel, top to bottom;
    // the panels after the first keep the range the first was given.
    std::string stack;
    bool range_kept = false;
    std::array<float, 2> typed_range{};

    std::string sn_text = std::string(15, ' ');
    std::string date_text = std::string(21, ' ');
    std::string title_text = std::string(45, ' ');
};

// The dialogue's steps, in order.
void read_dive_file(Session& s);            // file name, reader, offsets
void place_frame(const Session& s);         // the section frame's place on the page (the read does it too)
void choose_track_and_axis(Session& s);     // track distance, range, order, axis
void choose_variables(Session& s);          // summary, menus, tick style; Q ends the run
bool prepare_section(Session& s);           // density, sort, load, range, grids, frame; false: nothing to draw
void plot_loop(Session& s);                 // screen plots, hardcopy, back to the menus
[[noreturn]] void plot_stack(Session& s);   // a stacked page of the panels into the hardcopy

// The parts of a plot: the section's cells, lines and mixed layer; the
// title (asked for here); the title, date and stamp lines of the page,
// about a frame (or stack of frames) from `top` to `bottom`.
void draw_section(Session& s);
void ask_title(Session& s);
void page_words(const Session& s, float top, float bottom);
// Whether the colour menu of the file offers the letter.
bool colour_offered(const Session& s, char letter);

}  // namespace app
