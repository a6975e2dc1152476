#pragma once
// The answers of a one-command section: for each question of the dialogue,
// what the command line chose. Texts are kept as typed, so the dialogue
// reads exactly what a person typing them would give it.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace app {

// A stacked page: at most eight panels, each frame 2 inches high on the
// page made for them, 0.3 apart, and never lower than 1 inch on a sheet
// of a given size.
inline constexpr std::size_t kMostPanels = 8;
inline constexpr float kPanelHeight = 2.0f, kPanelGap = 0.3f, kLeastPanelHeight = 1.0f;
// The frame height of each of `panels` panels on a page `page_height` high
// (the single figure's margins above and below).
inline float panel_height(float page_height, std::size_t panels) {
    const float n = static_cast<float>(panels);
    return (page_height - 1.6f - (n - 1.0f) * kPanelGap) / n;
}

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
    // A stacked page: the colour variable of each panel, top to bottom
    // (the first is `color`); empty: one section.
    std::string stack;

    // The option texts as given, for the lines that refuse them.
    std::string dives_option, range_option, stack_option;
};

}  // namespace app
