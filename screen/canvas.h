#pragma once
// The picture of the graphics window: one cairo image surface that both
// backends draw into. Coordinates are pixels, (0, 0) the top left corner,
// y downwards; the layer above does all mapping and clipping.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace screen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A point in pixels, as a real so fills keep their sub-pixel edges.
struct PixelPoint {
    double x = 0, y = 0;
};

// A rectangle of whole pixels, both corners included.
struct PixelRect {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

class Canvas {
public:
    Canvas() = default;
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // A fresh picture in the background colour; a size below 1 becomes 1.
    void create(int width, int height, Rgb background);
    // New size; the old picture is scaled onto the new one. Until something
    // is drawn again, each further size is scaled from the picture as it
    // was drawn, so a drag through many sizes loses nothing.
    void resize(int width, int height);
    void destroy();
    bool valid() const { return surface_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Pixel rectangle with both corners included.
    void fill_rect(int x1, int y1, int x2, int y2, Rgb colour);
    // One-pixel line between pixel centres.
    void line(int x1, int y1, int x2, int y2, Rgb colour);
    // Polygon filled with the even-odd rule, no antialiasing so that
    // neighbouring cells meet without seams.
    void polygon(const std::vector<PixelPoint>& points, Rgb colour);
    // Parallel lines at `angle_deg` every `spacing` pixels, clipped to the
    // even-odd polygon.
    void hatch(const std::vector<PixelPoint>& points, Rgb colour, double spacing, double angle_deg);
    // Text with its baseline starting at (x, y) on an opaque background,
    // nothing of it outside `clip` when given; gives the x pixel where the
    // text ends.
    int text(int x, int y, std::string_view text, double size, Rgb colour, Rgb background,
             std::optional<PixelRect> clip = std::nullopt);
    // How far the text would advance at that size, in pixels.
    double text_advance(std::string_view text, double size);

    Rgb pixel(int x, int y);
    bool write_png(const std::string& path);

    // Raw ARGB32 rows for uploading to a window (pending strokes flushed).
    const unsigned char* data();
    int stride();

private:
    void flush();
    void set_colour(Rgb c);
    void set_font(double size);
    // Something new is drawn: the picture at its drawn size is gone.
    void drop_unscaled();

    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    int width_ = 0, height_ = 0;
    // The picture as last drawn, kept while the window is only resized.
    cairo_surface_t* unscaled_ = nullptr;
    Rgb background_{255, 255, 255};
    // Lines of one colour are collected into one path and stroked together:
    // one cairo stroke per segment would cost several times more.
    bool stroke_pending_ = false;
    Rgb stroke_colour_{};
    int pending_segments_ = 0;
};

}  // namespace screen
