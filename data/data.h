#pragma once
// Dive data input, in the order of the program's flow.
#include "data/limits.h"      // MXZ, MXPR: the sizes of the tables
#include "data/dive_table.h"  // FileHeader, DiveTable: what the file holds
#include "data/rd_sci2.h"     // rd_sci2_: reads the dive file into the table
#include "data/load_sec.h"    // load_sec_: one variable of a range of dives into the section arrays
