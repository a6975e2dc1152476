#pragma once
// Section geometry, selection and plots, in the order of the program's flow.
#include "section/contour_labels.h"  // wr_label_, the label store and its editor
#include "section/density_axis.h"    // convert_to_density: sigma-theta as the vertical coordinate
#include "section/frame_axes.h"      // the kinds of axis, their scales and how they are drawn
#include "section/get_div.h"         // get_div_, av2_: the dive range chosen on the track map
#include "section/lin_plot.h"        // lin_plot_, cross_: line contours over the section
#include "section/p_sort.h"          // p_sort_: profiles in decreasing order of their key
#include "section/pix_plot.h"        // pix_plot_: the colour-filled section with its bar and axes
#include "section/plotcom.h"          // plotcom: the section frame record, filled by the driver
#include "section/smooth.h"          // smooth_: irregular samples onto a regular grid
#include "section/stray_positions.h"  // drop_stray_positions: positions that cannot be degrees
#include "section/trak.h"            // trak_: distance of every dive along the track
