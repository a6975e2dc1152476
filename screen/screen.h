#pragma once
// The screen graphics layer: one graphics window with user units, lines and
// filled polygons in 24-bit colour, text at window positions, clearing, and
// key and mouse events. Knows nothing of pages, inches or hardcopies.
//
// Window units run 0..9999 across and down the client area; user units are
// those of the graphics area (y upwards) set by igrunits_.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "screen/canvas.h"

namespace screen {

// Backend choice, made once at start from the command line: headless takes
// its events from the session script on the console's input; otherwise a
// real SDL window (the run stops with one console line when no display can
// be opened). screenshots writes SCREENnn.PNG pictures of the window.
// Without a call the layer is headless and takes no pictures.
void configure(bool headless, bool screenshots);
// A headless run that takes no pictures has a canvas no one ever sees:
// from this call until the next configure(), lines and fills are left out
// of it, and text too (where it ends is only estimated).
void skip_unseen_drawing();
// Whether lines and fills are left out of the canvas (see above).
bool canvas_unseen();

// The window record of windowopen_.
struct WindowRecord {
    std::int32_t flags = 513;
    std::int32_t x = -1, y = -1;           // position in screen pixels
    std::int32_t width = -1, height = -1;  // below 1: the default size
    std::int32_t menu = 30001;
    std::string title = "DAZ Graphics";    // used without trailing blanks
};

// The event record of wmessage_.
struct EventRecord {
    std::int32_t window = 0;
    // value[0]: character code of a key; value[2] on entry: 1 wants graphics
    // units only, 2 window units only, anything else both.
    std::array<std::int32_t, 4> value{};
    std::int32_t x = 0, y = 0;             // pointer in window units
    std::array<std::int32_t, 2> extra{};
    float gx = 0, gy = 0;                  // pointer in user units
    std::int32_t more = 0;
};

enum EventType { kKeyPress = 1, kButtonPress = 4, kResized = 8 };

// Window side, in the order the plot library uses it.
void winitialise_(std::string_view settings_file);
void windowopen_(const WindowRecord& record, int colour_cells);
void windowselect_(int window);
void windowclear_();
void windowcleararea_(int x1, int y1, int x2, int y2);
void windowoutstring_(int x, int y, std::string_view text);
// windowoutstring_ kept inside the box (x1, y1)-(x2, y2) in window units:
// smaller text, down to two thirds of the usual size, when it would run
// past the box's right edge, then cut there; nothing is drawn outside the
// box, so clearing it removes the text whole.
void write_text_in_box(int x, int y, std::string_view text, int x1, int y1, int x2, int y2);
void wmessageenable_(int type, int flag);
void wmessage_(int& type, EventRecord& record);
void windowunitstopixels_(int ux, int uy, int& px, int& py);
void windowunitsfrompixels_(int px, int py, int& ux, int& uy);
void windowclose_();

// Drawing side.
void igrarea_(float x1, float y1, float x2, float y2);
void igrunits_(float left, float bottom, float right, float top);
void igrfillpattern_(int style, int density = 2, int angle = 3);
void igrcolourmodel_(int model);
void igrcolourn_(int number);
void igrmoveto_(float x, float y);
void igrlineto_(float x, float y);
void igrpolygoncomplex_(std::span<const float> x, std::span<const float> y, int n);

// State for callers and tests.
bool window_is_open();
int error_state();          // last error: 44 area, 16 units, 42 colour, 1003 window
void reset_error_state();
void window_size(int& width, int& height);
void text_position(int& x, int& y);
// Continuous pixel position of a user point, pixel centres at whole
// numbers, for lines and pointer positions.
void user_to_pixel(double x, double y, double& px, double& py);
Rgb pixel_at(int px, int py);
struct ColourState {
    int model = 1;          // 1 palette, 2 RGB
    int number = 0;
    Rgb rgb{};
    int palette_index = 0;
    int previous_number = 0;
};
ColourState colour_state();
struct FillStyle {
    int style = 4, density = 2, angle = 3;
    bool negative = false;
};
FillStyle fill_style();
bool message_enabled(int type);
// Size of a headless window opened at the default size (1000 x 800).
void set_headless_size(int width, int height);
// Shows the latest picture (used before the program blocks elsewhere).
void present_window();

}  // namespace screen
