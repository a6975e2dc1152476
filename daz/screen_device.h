#pragma once
// The screen window as a plot device: strokes, colours and fills go
// through the screen layer in page inches (its user units are the
// landscape page, 10 x 8); line widths are a hardcopy's only.
#include "daz/device.h"

namespace daz {

class ScreenDevice final : public Device {
public:
    // Opens the window on the landscape page, the colours as 24 bits.
    void open_window();
    void close_window();
    void clear_window();
    bool window_open() const;
    // The colour of the last colour(): red + 256 green + 65536 blue.
    int packed_colour() const { return packed_colour_; }

    void stroke(PagePoint to, int pen) override;
    void colour(float red, float green, float blue) override;
    void line_width(long) override {}
    void fill(std::span<const PagePoint> vertices) override;
    bool draws_nothing() const override;

private:
    int packed_colour_ = 0;
};

}  // namespace daz
