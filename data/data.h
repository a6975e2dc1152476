#pragma once
// Dive data input, in the order of the program's flow.
#include "data/limits.h"              // MXZ, MXPR, MXLEV: guards on the sizes of the tables
#include "data/missing.h"             // SAMPLE_FILL, ...: the fills and the thresholds that tell them
#include "data/dive_table.h"          // FileHeader, DiveTable: what the file holds
#include "data/read_dive_data.h"      // read_dive_data: the typed name to the reader its bytes call for
#include "data/rd_sci2.h"             // rd_sci2_: reads the dive file into the table
#include "data/read_glider_netcdf.h"  // read_glider_netcdf: glider netCDF files into the table
#include "data/nc_file.h"             //   NcFile: one netCDF file through the netCDF-C library
#include "data/nc_variables.h"        //   find_layout, find_qc: which variable holds what
#include "data/nc_values.h"           //   read_values, parse_time_units: CF values and times
#include "data/nc_qc.h"               //   read_qc_flags: QC variables as table flags
#include "data/nc_profiles.h"         //   ProfilesByNumber, ...: the samples cut into profiles
#include "data/fourth_variable.h"     //   ask_fourth_variable: the fourth-variable question
#include "data/variables.h"           // kVariables: the variables a section can show, declared once
#include "data/load_sec.h"            // load_sec_: one variable of a range of dives into the section arrays
