#pragma once
// The dialogue's questions by name. Every question the program asks, on the
// console or in the graphics window, is put with its name and the numbers an
// answer may need, so that an answerer (the one-command run) answers by name
// and never reads its answers back out of the text shown.
#include <array>
#include <string_view>

namespace miscli {

enum class QuestionId {
    // On the console
    File,         // the dive file's name
    Var4,         // which netCDF variable is the fourth
    Reverse,      // the station order
    Axis,         // the vertical axis
    Color,        // the colour variable
    Line,         // the line-contour variable
    Ticks,        // day or station ticks
    Log,          // contour a variable's log10
    Range,        // the vertical range to plot
    // In the graphics window
    Begin,        // click to begin the track map
    MapStatus,    // the track map's N, G or Q
    DiveRange,    // the first and last dive, typed
    EditorMain,   // the label editor's A, M, K or Q
    EditorPlace,  // where a label goes, or skip it
    EditorMove,   // where a moved label goes
    Title,        // the title, typed
    Device,       // hardcopy, screen or quit
};

struct Question {
    constexpr Question(QuestionId id, std::array<double, 2> values = {}, std::string_view note = {})
        : id(id), values(values), note(note) {}
    QuestionId id;
    // What the question shows that an answer may need: the map's first and
    // last dive (MapStatus), the data's vertical range (Range).
    std::array<double, 2> values;
    // Why the last answer was refused, shown ahead of a window question
    // asked again (DiveRange, EditorMain); empty the first time.
    std::string_view note;
};

}  // namespace miscli
