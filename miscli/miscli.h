#pragma once
// The utility library, in the order the program uses it.
#include "miscli/array.h"         // Array1, Array2, Array3: 1-based column-major storage
#include "miscli/ragged_array.h"  // RaggedArray2, RaggedArray3: columns of their own lengths
#include "miscli/text_field.h"    // field, trim_right: blank-padded text fields
#include "miscli/utf8.h"          // next_utf8, append_utf8, utf8_length: UTF-8 characters
#include "miscli/question.h"      // Question: the dialogue's questions by name
#include "miscli/console.h"       // console(): the dialogue's streams
#include "miscli/stop.h"          // stop, stop_normal, end_run_now: ending the program
#include "miscli/strings.h"       // ljustn_, ucase_, charans_, charadd_
#include "miscli/fixed_format.h"  // fmt_i, fmt_f, ListLine: fixed output fields
#include "miscli/fixed_read.h"    // FixedReader, ListReader: fixed and free input
#include "miscli/line_file.h"     // LineFile: buffered line reading
