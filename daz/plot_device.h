#pragma once
// The plot device: every pen stroke of the plot library, in page inches,
// goes either to the screen window or into a hardcopy (OUT01.EPS,
// OUT02.EPS, ..., or a PDF, SVG or PNG page). Routines above draw through
// ploti_, rgbcolor_, linwid_ and shade_ and never ask which device is
// open; these doors hand the strokes to a Device (device.h).
//
// Page: orientation 'X' is a landscape page 10 x 8 inches, anything else a
// portrait page 8 x 10; every device works on the landscape frame (XP, YP).
// Hardcopy units are thousandths of an inch.
#include <string>

#include "daz/device.h"
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

// The device the doors draw on; shade.cpp fills through it.
Device& current_device();
// What the open device draws is seen by nobody (a screen canvas of a
// headless run without pictures, or a hardcopy already closed): what only
// draws may be left out.
bool draws_nothing();
// Whether a hardcopy is open; the file is finished by plclosnow_.
bool hardcopy_open();
// Name of the open (or last) hardcopy file, e.g. "OUT01.EPS".
const std::string& hardcopy_name();
// What the following hardcopies are: format, PNG resolution, file name.
void set_hardcopy_output(HardcopyOutput output);

// Page inches to the landscape frame by devcom's orientation.
PagePoint device_page(float x, float y);
// The screen colour of the last rgbcolor_: red + 256 green + 65536 blue.
int screen_colour();

// Drops an open hardcopy, which the run ended before it was complete
// (nothing is left under its name), and closes an open window; never
// throws. main calls it before printing the line of a program stop.
void close_open_plot();

}  // namespace daz
