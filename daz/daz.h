#pragma once
// The plot library, in the order the program uses it.
#include "daz/hardcopy_format.h"  // HardcopyOutput: EPS, PDF, SVG or PNG, and the file name; open_writer
#include "daz/plot_device.h"  // plopen_, ploti_, linwid_, rgbcolor_, clearsc_, plclosnow_, devcom
#include "daz/device.h"       // Device, behind the doors: screen_device, eps_writer, cairo_page (PDF, SVG, PNG)
#include "daz/stroke_text.h"  // chrcod_, letter_, justy_, glyph_, stroke_text_of, ajust, ofset
#include "daz/input.h"        // scrtxt_, getchar_, getstring_, ginch_: talking in the window
#include "daz/map_size.h"     // map_size_: a map frame with equal ground scales
#include "daz/map_axes.h"     // map_axes_: the frame's bands and degree labels
#include "daz/shade.h"        // palette_, shade_, shaderect_, shade_cells: the colour scale and fills
#include "daz/axis.h"         // linx_ax_, liny_ax_, logy_ax_, axis_, axis0_, formt_, labltic_
