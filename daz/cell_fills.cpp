#include "daz/cell_fills.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "daz/plot_device.h"
#include "daz/shade.h"

namespace daz {

namespace {

// A corner's coordinates on the sheet, as shade_ holds them.
std::int32_t sheet_x(float y) { return sheet_point(0.0f, y).x; }
std::int32_t sheet_y(float x) { return sheet_point(x, 0.0f).y; }

std::string number_text(long v, int blanks) {
    char field[32];
    int width = 0;
    return std::string(field, put_file_number(field, v, blanks, width));
}

}  // namespace

bool CellFills::usable() { return devcom.device_code == 'H' && devcom.orientation == 'X' && eps_open(); }

void CellFills::column(float x_lo, float x_hi) {
    // In landscape a page point (x, y) goes to the sheet's (from y, from x).
    x_lo_ = number_text(sheet_y(x_lo), 1);
    x_hi_ = number_text(sheet_y(x_hi), 1);
}

void CellFills::cell(int k, float red, float green, float blue, float y_lo, float y_hi) {
    if (static_cast<std::size_t>(k) > levels_.size()) levels_.resize(static_cast<std::size_t>(k));
    Level& level = levels_[static_cast<std::size_t>(k - 1)];
    if (!level.made || level.y_lo != y_lo || level.y_hi != y_hi) {
        level = {y_lo, y_hi, true, number_text(sheet_x(y_lo), 0), number_text(sheet_x(y_hi), 0)};
    }
    char colour[64];
    text_.append(colour, put_colour_line(colour, red, green, blue));
    // shaderect_'s corners: (x_lo, y_lo), (x_lo, y_hi), (x_hi, y_hi), (x_hi, y_lo).
    auto corner = [this](const std::string& sheet_x, const std::string& sheet_y, std::string_view verb) {
        text_ += sheet_x;
        text_ += sheet_y;
        text_ += verb;
    };
    text_ += kEpsFillOpen;
    corner(level.lo, x_lo_, " moveto\n");
    corner(level.hi, x_lo_, " lineto\n");
    corner(level.hi, x_hi_, " lineto\n");
    corner(level.lo, x_hi_, " lineto\n");
    text_ += kEpsFillClose;
}

void CellFills::flush() {
    hardcopy_lines(text_);
    text_.clear();
}

}  // namespace daz
