#pragma once
// The answers of a one-command section: for each question of the dialogue,
// what the command line chose. Texts are kept as typed, so the dialogue
// reads exactly what a person typing them would give it.
#include <optional>
#include <string>
#include <vector>

namespace app {

struct PageSpot {
    std::string x, y;  // page inches as typed, checked to lie on the page
};

struct SectionChoices {
    std::string dives;             // "FIRST LAST" for the map's G; empty: all dives
    bool reverse = false;          // Y to the order question
    char axis = 'S';               // S, L or D
    char color = 'T';              // colour variable
    char contour = 'X';            // line variable, X for none
    bool log = false;              // Y to each log question
    char ticks = 'S';              // S station or D day ticks
    std::string range;             // "MIN,MAX"; empty: the data's range shown
    std::string title;
    std::vector<PageSpot> labels;  // each asked for (A) and placed (K) there
    std::optional<std::string> var4;

    // The option texts as given, for the lines that refuse them.
    std::string dives_option, range_option;
};

}  // namespace app
