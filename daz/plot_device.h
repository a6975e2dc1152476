#pragma once
// The plot device: every pen stroke of the plot library, in page inches,
// goes either to the screen window or into an Encapsulated PostScript file
// (OUT01.EPS, OUT02.EPS, ...). Routines above draw through ploti_,
// rgbcolor_ and linwid_ and never ask which device is open.
//
// Page: orientation 'X' is a landscape page 10 x 8 inches, anything else a
// portrait page 8 x 10; both devices work on the landscape frame (XP, YP).
// Hardcopy units are thousandths of an inch.
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "daz/hardcopy_format.h"

namespace daz {

struct Devcom {
    char device_code = 'S';  // 'S' screen, 'H' hardcopy
    char orientation = 'X';  // 'X' landscape, otherwise portrait
};
extern Devcom devcom;  // the shared device record

// Opens the device: 'S' the screen window, any other code a new hardcopy
// as set_hardcopy_output says, by default an EPS file with the first free
// name OUT01.EPS..OUT99.EPS (the run stops with a console line,
// overwriting nothing, when all 99 exist). A device still open is
// finished first.
void plopen_(char device, char orientation);
// Finishes and closes the file (trailer), or closes the window.
void plclosnow_();
// Pen 3 moves to (x, y), pen 2 draws a straight line there (inches).
void ploti_(float x, float y, int ipen);
// Line width of the following strokes in thousandths of an inch (file only).
void linwid_(int width);
// Clears the screen window, whatever device is open.
void clearsc_();
// Colour of the following strokes and fills, each channel 0..1.
void rgbcolor_(float red, float green, float blue);

// For code that writes its own file lines (the colour fills): whether a
// hardcopy is open; the file is finished by plclosnow_.
bool hardcopy_open();
// An EPS hardcopy is open (not a PDF, SVG or PNG page).
bool eps_open();
// The EPS line rgbcolor_ writes, with its '\n', at `out` (room for 64);
// gives its end.
char* put_colour_line(char* out, float red, float green, float blue);
// The plot goes to a screen canvas nobody sees (a headless run without
// pictures): what only draws may be left out.
bool drawing_unseen();
// Writes one line (without its line end) into the open hardcopy.
void hardcopy_line(std::string_view line);
// Writes whole lines, each with its '\n', in one piece.
void hardcopy_lines(std::string_view lines);
// Name of the open (or last) hardcopy file, e.g. "OUT01.EPS".
const std::string& hardcopy_name();
// What the following hardcopies are: format, PNG resolution, file name.
void set_hardcopy_output(HardcopyOutput output);

// The coordinate rule shared by strokes and fills.
struct PagePoint {
    float x = 0, y = 0;  // landscape device page, inches
};
struct FilePoint {
    std::int32_t x = 0, y = 0;  // thousandths of an inch on the PostScript sheet
};
// Page inches to the landscape frame by devcom's orientation.
PagePoint device_page(float x, float y);
// Device page to file units: PX = nearest(8 - YP) * 1000, PY = nearest XP * 1000.
FilePoint file_point(PagePoint p);
// A file coordinate in its run-time field: width 1 + floor(log10(|v| + 1))
// plus `blanks` (the separating blank), plus one for a sign; gives the end
// and the width used.
char* put_file_number(char* out, long value, int blanks, int& width);
// The open hardcopy is a PDF, SVG or PNG page, which takes its fills as
// sheet points (clamped as the EPS fill's) rather than file lines.
bool hardcopy_is_page();
void page_fill(std::span<const FilePoint> vertices);
// The screen colour of the last rgbcolor_: red + 256 green + 65536 blue.
int screen_colour();

// Drops an open hardcopy, which the run ended before it was complete
// (nothing is left under its name), and closes an open window; never
// throws. main calls it before printing the line of a program stop.
void close_open_plot();

}  // namespace daz
