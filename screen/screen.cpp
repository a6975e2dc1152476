#include "screen/screen.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"
#include "miscli/text_field.h"
#include "screen/display.h"
#include "screen/interrupts.h"

namespace screen {

namespace {

constexpr double kUnitFactor = 0.00010001;  // 1/9999 as the layer holds it
constexpr int kMaxPolygon = 4095;
constexpr Rgb kBackground{255, 255, 255};
constexpr Rgb kTextColour{0, 0, 0};
// Text fitted into a box gets no smaller than this share of the usual
// size, nor than the smallest size the layer uses at all.
constexpr double kSmallestTextShare = 2.0 / 3.0;
constexpr double kSmallestText = 6.0;
// Advance of a character, as a share of the text size, where text is not drawn.
constexpr double kUnseenAdvance = 0.6;

struct Layer {
    std::unique_ptr<Display> display;
    bool headless = true;
    bool screenshots = false;
    bool unseen = false;  // lines and fills are left out of the canvas
    int headless_width = 1000, headless_height = 800;

    bool started = false;
    bool open = false;
    int current = -1;
    int width = 0, height = 0;
    int text_x = 0, text_y = 0;
    bool text_mode = false;
    int colour_cells = 16;
    int error = 0;
    std::array<bool, 16> enabled{};
    double char_size = 11;
    // Size of the last window, for the next one opened at the default size:
    // a window the user has resized keeps that size when redrawn.
    int kept_width = 0, kept_height = 0;
    bool drawn = false;  // since the last picture

    // Graphics area as fractions, its pixel bounds, and the user units.
    double fx1 = 0, fy1 = 0, fx2 = 1, fy2 = 1;
    int c0 = 0, c1 = 0, r0 = 0, r1 = 0;  // columns and rows, inclusive
    double left = 0, bottom = 0, right = 1, top = 1;
    float pen_x = 0, pen_y = 0;

    FillStyle fill;
    ColourState colour;
    std::array<Rgb, 256> palette{};
};

Layer& layer() {
    static Layer the_layer;
    return the_layer;
}

Display& display() {
    Layer& L = layer();
    if (!L.display) L.display = std::make_unique<HeadlessDisplay>(L.headless_width, L.headless_height);
    return *L.display;
}

void build_palette(std::array<Rgb, 256>& p) {
    static constexpr std::uint8_t vga[16][3] = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
        {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i) p[i] = {vga[i][0], vga[i][1], vga[i][2]};
    int k = 16;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p[k++] = {static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
                          static_cast<std::uint8_t>(51 * b)};
    for (int i = 0; k < 256; ++i, ++k) {
        auto v = static_cast<std::uint8_t>(8 + 10 * i);
        p[k] = {v, v, v};
    }
}

int nearest_palette_index(const std::array<Rgb, 256>& p, Rgb c) {
    int best = 0;
    long best_d = -1;
    for (int i = 0; i < 256; ++i) {
        long dr = p[i].r - c.r, dg = p[i].g - c.g, db = p[i].b - c.b;
        long d = dr * dr + dg * dg + db * db;
        if (d == 0) return i;
        if (best_d < 0 || d < best_d) {
            best_d = d;
            best = i;
        }
    }
    return best;
}

void recompute_mapping() {
    Layer& L = layer();
    L.c0 = static_cast<int>(std::lround(L.fx1 * L.width));
    L.c1 = std::max(L.c0, static_cast<int>(std::lround(L.fx2 * L.width)) - 1);
    // Rows run downwards: the area's top edge is the smaller row.
    L.r0 = L.height - static_cast<int>(std::lround(L.fy2 * L.height));
    L.r1 = std::max(L.r0, L.height - static_cast<int>(std::lround(L.fy1 * L.height)) - 1);
    L.char_size = std::max(6.0, 0.014 * L.height);
}

// User point to continuous pixels with pixel centres at whole numbers.
void to_centre(double x, double y, double& px, double& py) {
    const Layer& L = layer();
    px = L.c0 + (x - L.left) / (L.right - L.left) * (L.c1 - L.c0);
    py = L.r1 - (y - L.bottom) / (L.top - L.bottom) * (L.r1 - L.r0);
}

// User point to pixel edges, so that a fill of the whole unit range covers
// every pixel of the area.
PixelPoint to_edge(double x, double y) {
    const Layer& L = layer();
    double px = L.c0 + (x - L.left) / (L.right - L.left) * (L.c1 - L.c0 + 1);
    double py = (L.r1 + 1) - (y - L.bottom) / (L.top - L.bottom) * (L.r1 - L.r0 + 1);
    // Far-off points would overflow cairo's fixed-point coordinates.
    return {std::clamp(px, -1e6, 1e6), std::clamp(py, -1e6, 1e6)};
}

void from_pixel(int px, int py, double& x, double& y) {
    const Layer& L = layer();
    x = L.left + (px - L.c0) * (L.right - L.left) / std::max(1, L.c1 - L.c0);
    y = L.bottom + (L.r1 - py) * (L.top - L.bottom) / std::max(1, L.r1 - L.r0);
}

// Liang-Barsky clipping of a segment to a rectangle; false when nothing
// of it is inside.
bool clip_segment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin, double xmax,
                  double ymax) {
    double t0 = 0, t1 = 1, dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
        } else {
            double t = q[i] / p[i];
            if (p[i] < 0) {
                if (t > t1) return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0) return false;
                t1 = std::min(t1, t);
            }
        }
    }
    double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = ax;
    y1 = ay;
    return true;
}

// Sutherland-Hodgman against the area's edges; clipping by half-planes
// keeps the even-odd inside of a crossing polygon.
void clip_polygon(std::vector<PixelPoint>& pts, double xmin, double ymin, double xmax, double ymax) {
    // Wholly inside, as nearly every cell of a section is: each pass would
    // give the points back unchanged.
    if (std::all_of(pts.begin(), pts.end(), [&](const PixelPoint& p) {
            return p.x >= xmin && p.x <= xmax && p.y >= ymin && p.y <= ymax;
        }))
        return;
    static thread_local std::vector<PixelPoint> out;
    auto pass = [&](auto inside, auto cross) {
        out.clear();
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const PixelPoint& a = pts[i];
            const PixelPoint& b = pts[(i + 1) % pts.size()];
            bool ia = inside(a), ib = inside(b);
            if (ia) out.push_back(a);
            if (ia != ib) out.push_back(cross(a, b));
        }
        pts.swap(out);
    };
    auto at_x = [](double x) {
        return [x](const PixelPoint& a, const PixelPoint& b) {
            return PixelPoint{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
        };
    };
    auto at_y = [](double y) {
        return [y](const PixelPoint& a, const PixelPoint& b) {
            return PixelPoint{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
        };
    };
    pass([&](const PixelPoint& p) { return p.x >= xmin; }, at_x(xmin));
    if (pts.empty()) return;
    pass([&](const PixelPoint& p) { return p.x <= xmax; }, at_x(xmax));
    if (pts.empty()) return;
    pass([&](const PixelPoint& p) { return p.y >= ymin; }, at_y(ymin));
    if (pts.empty()) return;
    pass([&](const PixelPoint& p) { return p.y <= ymax; }, at_y(ymax));
}

std::string free_screenshot_name() {
    for (int n = 1; n <= 99; ++n) {
        std::string name = "SCREEN" + miscli::fmt_i0(n, 2, 2) + ".PNG";
        std::error_code ec;
        if (!std::filesystem::exists(name, ec)) return name;
    }
    return {};
}

// The picture of a window drawn on since its last picture.
void take_screenshot() {
    Layer& L = layer();
    if (!L.screenshots || !L.drawn || !L.open) return;
    L.drawn = false;
    std::string name = free_screenshot_name();
    if (name.empty()) {
        static bool told = false;
        if (!told) miscli::console().write_line(" No free screenshot name: SCREEN01.PNG to SCREEN99.PNG all exist.");
        told = true;
        return;
    }
    if (!display().canvas().write_png(name)) miscli::console().write_line(" Cannot write " + name);
}

void set_window_size(int w, int h) {
    Layer& L = layer();
    L.width = w;
    L.height = h;
    recompute_mapping();
}

// The longest start of the text that advances no further than `room`
// pixels at that size.
std::string_view fitting_start(std::string_view text, double size, double room) {
    Canvas& canvas = display().canvas();
    std::size_t lo = 0, hi = text.size();
    while (lo < hi) {
        std::size_t mid = (lo + hi + 1) / 2;
        if (canvas.text_advance(text.substr(0, mid), size) <= room) lo = mid;
        else hi = mid - 1;
    }
    return text.substr(0, lo);
}

// Where the next text goes: after the pixel `end_px` on the line of y.
void set_text_end(Layer& L, int end_px, int py, int y) {
    int ux, uy;
    windowunitsfrompixels_(end_px, py, ux, uy);
    L.text_x = ux;
    L.text_y = y;
}

// Text at window units (x, y) with its baseline there. Inside a box the
// text is made smaller when it would run past the box's right edge, then
// cut there, and nothing of it is drawn outside the box, so clearing the
// box removes all of it.
void write_string(int x, int y, std::string_view text, std::optional<PixelRect> box) {
    Layer& L = layer();
    if (!L.open || !L.text_mode) return;
    int px, py;
    windowunitstopixels_(x, y, px, py);
    double size = L.char_size;
    if (L.unseen) {
        // Nobody sees this canvas: the text's end is only estimated, which
        // spares the run loading fonts.
        set_text_end(L, px + static_cast<int>(std::lround(kUnseenAdvance * size * static_cast<double>(text.size()))), py, y);
        return;
    }
    if (box && !text.empty()) {
        const double room = box->x2 + 1 - px;
        const double width = display().canvas().text_advance(text, size);
        if (width > room) {
            const double smallest = std::min(size, std::max(kSmallestText, size * kSmallestTextShare));
            size = std::max(smallest, size * std::max(room, 0.0) / width);
            text = fitting_start(text, size, room);
        }
    }
    int end = display().text(px, py, text, size, kTextColour, kBackground, box);
    if (!text.empty()) L.drawn = true;
    set_text_end(L, end, py, y);
}

}  // namespace

void configure(bool headless, bool screenshots) {
    Layer& L = layer();
    if (L.open) windowclose_();
    L.headless = headless;
    L.screenshots = screenshots;
    L.unseen = false;
    L.kept_width = L.kept_height = 0;
    install_interrupt_handler();
    if (headless) {
        L.display = std::make_unique<HeadlessDisplay>(L.headless_width, L.headless_height);
        return;
    }
    std::string reason;
    if (!sdl_display_available(reason))
        miscli::stop(" No graphics display can be opened (" + reason +
                     "); run glidersect --headless < session.txt to take the window events from standard input.");
    L.display = make_sdl_display();
    install_console_present_hook();
}

void skip_unseen_drawing() {
    Layer& L = layer();
    L.unseen = L.headless && !L.screenshots;
}

bool canvas_unseen() { return layer().unseen; }

void set_headless_size(int width, int height) {
    Layer& L = layer();
    L.headless_width = width;
    L.headless_height = height;
    L.kept_width = L.kept_height = 0;
    if (L.headless && !L.open) L.display.reset();
}

void winitialise_(std::string_view) {
    // The layer has no settings file; the defaults are all it needs.
    layer().started = true;
}

void windowopen_(const WindowRecord& record, int colour_cells) {
    Layer& L = layer();
    if (L.open) return;
    const bool default_size = record.width < 1 || record.height < 1;
    const int width = default_size && L.kept_width > 0 ? L.kept_width : record.width;
    const int height = default_size && L.kept_height > 0 ? L.kept_height : record.height;
    display().open(record.x, record.y, width, height, std::string(miscli::trim_right(record.title)));
    L.open = true;
    L.current = 0;
    L.text_x = L.text_y = 0;
    L.text_mode = true;
    L.colour_cells = (colour_cells == 16 || colour_cells == 32 || colour_cells == 64 || colour_cells == 128)
                         ? colour_cells
                         : 16;
    L.enabled.fill(true);
    L.drawn = false;
    L.fx1 = L.fy1 = 0;
    L.fx2 = L.fy2 = 1;
    L.left = L.bottom = 0;
    L.right = L.top = 1;
    L.pen_x = L.pen_y = 0;
    L.fill = FillStyle{};
    build_palette(L.palette);
    L.colour = ColourState{};
    L.colour.rgb = L.palette[0];
    set_window_size(display().width(), display().height());
}

void windowselect_(int window) {
    Layer& L = layer();
    if (window != 0 || !L.open) {
        L.error = 1003;
        return;
    }
    L.current = 0;
    set_window_size(display().width(), display().height());
    L.text_x = L.text_y = 0;
}

void windowclose_() {
    Layer& L = layer();
    if (!L.open) return;
    take_screenshot();
    L.kept_width = L.width;
    L.kept_height = L.height;
    display().close();
    L.open = false;
    L.text_mode = false;
    L.current = -1;
}

void windowclear_() {
    Layer& L = layer();
    if (!L.open) return;
    take_screenshot();
    display().fill_rect(0, 0, L.width - 1, L.height - 1, kBackground);
}

void windowcleararea_(int x1, int y1, int x2, int y2) {
    Layer& L = layer();
    if (!L.open) return;
    int px1, py1, px2, py2;
    windowunitstopixels_(x1, y1, px1, py1);
    windowunitstopixels_(x2, y2, px2, py2);
    display().fill_rect(px1, py1, px2, py2, kBackground);
}

void windowoutstring_(int x, int y, std::string_view text) { write_string(x, y, text, std::nullopt); }

void write_text_in_box(int x, int y, std::string_view text, int x1, int y1, int x2, int y2) {
    int px1, py1, px2, py2;
    windowunitstopixels_(x1, y1, px1, py1);
    windowunitstopixels_(x2, y2, px2, py2);
    write_string(x, y, text, PixelRect{std::min(px1, px2), std::min(py1, py2), std::max(px1, px2), std::max(py1, py2)});
}

void wmessageenable_(int type, int flag) {
    if (type < 0 || type > 15) return;
    layer().enabled[static_cast<std::size_t>(type)] = flag != 0;
}

void wmessage_(int& type, EventRecord& record) {
    Layer& L = layer();
    if (!L.open) miscli::stop(" The program waited for a window event while no graphics window was open.");
    int wanted = record.value[2];
    for (;;) {
        UnitBox units{L.left, L.bottom, L.right, L.top};
        DisplayEvent e = display().next_event(units);
        switch (e.kind) {
        case DisplayEvent::Quit:
            if (interrupt_requested()) stop_for_interrupt("the run ends.");
            miscli::stop(" The graphics window was closed; the run ends.", 0);
        case DisplayEvent::Resize:
            display().resize(e.width, e.height);
            set_window_size(display().width(), display().height());
            continue;
        case DisplayEvent::Key: type = kKeyPress; break;
        case DisplayEvent::Click: type = kButtonPress; break;
        }
        if (!L.enabled[static_cast<std::size_t>(type)]) continue;
        record = EventRecord{};
        record.window = L.current;
        record.value[0] = e.kind == DisplayEvent::Key ? e.code : 1;
        double ux = e.ux, uy = e.uy;
        int px = e.px, py = e.py;
        if (e.in_units) {
            double cx, cy;
            to_centre(ux, uy, cx, cy);
            px = static_cast<int>(std::lround(cx));
            py = static_cast<int>(std::lround(cy));
        } else {
            from_pixel(px, py, ux, uy);
        }
        if (wanted != 2) {
            record.gx = static_cast<float>(ux);
            record.gy = static_cast<float>(uy);
        }
        if (wanted != 1) windowunitsfrompixels_(px, py, record.x, record.y);
        return;
    }
}

void windowunitstopixels_(int ux, int uy, int& px, int& py) {
    const Layer& L = layer();
    // Held far outside any window so a wild position cannot overflow.
    px = static_cast<int>(std::clamp(L.width * (ux * kUnitFactor), -1e9, 1e9));
    py = static_cast<int>(std::clamp(L.height * (uy * kUnitFactor), -1e9, 1e9));
}

void windowunitsfrompixels_(int px, int py, int& ux, int& uy) {
    const Layer& L = layer();
    ux = L.width < 2 ? 0 : static_cast<int>(9999L * px / (L.width - 1));
    uy = L.height < 2 ? 0 : static_cast<int>(9999L * py / (L.height - 1));
}

void igrarea_(float x1, float y1, float x2, float y2) {
    Layer& L = layer();
    if (0 <= x1 && x1 < x2 && x2 <= 1) {
        L.fx1 = x1;
        L.fx2 = x2;
    } else {
        L.fx1 = 0;
        L.fx2 = 1;
        L.error = 44;
    }
    if (0 <= y1 && y1 < y2 && y2 <= 1) {
        L.fy1 = y1;
        L.fy2 = y2;
    } else {
        L.fy1 = 0;
        L.fy2 = 1;
        L.error = 44;
    }
    recompute_mapping();
}

void igrunits_(float left, float bottom, float right, float top) {
    Layer& L = layer();
    if (left < right) {
        L.left = left;
        L.right = right;
    } else {
        L.left = 0;
        L.right = 1;
        L.error = 16;
    }
    if (bottom < top) {
        L.bottom = bottom;
        L.top = top;
    } else {
        L.bottom = 0;
        L.top = 1;
        L.error = 16;
    }
}

void igrfillpattern_(int style, int density, int angle) {
    FillStyle& f = layer().fill;
    if (style < -2 || style > 4) style = 0;
    f.negative = style < 0;
    f.style = std::abs(style);
    f.density = (density < 1 || density > 5) ? 2 : density;
    f.angle = (angle < 1 || angle > 4) ? 3 : angle;
}

void igrcolourmodel_(int model) { layer().colour.model = model == 24 ? 2 : 1; }

void igrcolourn_(int number) {
    Layer& L = layer();
    ColourState& c = L.colour;
    Rgb rgb;
    int index;
    if (c.model == 2) {
        rgb = {static_cast<std::uint8_t>(number & 0xFF), static_cast<std::uint8_t>((number >> 8) & 0xFF),
               static_cast<std::uint8_t>((number >> 16) & 0xFF)};
        // Only a palette display needs the nearest entry; it is found when
        // asked for (colour_state), not for every cell of a section.
        index = -1;
    } else {
        if (number < 0 || number > 255) {
            L.error = 42;
            return;
        }
        index = number;
        rgb = L.palette[static_cast<std::size_t>(number)];
    }
    c.previous_number = c.number;
    c.number = number;
    c.rgb = rgb;
    c.palette_index = index;
}

void igrmoveto_(float x, float y) {
    Layer& L = layer();
    L.pen_x = x;
    L.pen_y = y;
}

void igrlineto_(float x, float y) {
    Layer& L = layer();
    double x1, y1, x2, y2;
    to_centre(L.pen_x, L.pen_y, x1, y1);
    to_centre(x, y, x2, y2);
    L.pen_x = x;
    L.pen_y = y;
    if (!L.open || L.unseen || !std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    if (!clip_segment(x1, y1, x2, y2, L.c0, L.r0, L.c1, L.r1)) return;
    display().line(static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1)),
                   static_cast<int>(std::lround(x2)), static_cast<int>(std::lround(y2)), L.colour.rgb);
    L.drawn = true;
}

void igrpolygoncomplex_(std::span<const float> x, std::span<const float> y, int n) {
    Layer& L = layer();
    n = std::min({n, kMaxPolygon, static_cast<int>(x.size()), static_cast<int>(y.size())});
    if (n <= 1) return;
    L.pen_x = x[0];
    L.pen_y = y[0];
    if (x[n - 1] == x[0] && y[n - 1] == y[0]) --n;
    if (!L.open || L.unseen || n < 3) return;
    static thread_local std::vector<PixelPoint> pts;
    pts.clear();
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return;
        pts.push_back(to_edge(x[i], y[i]));
    }
    clip_polygon(pts, L.c0, L.r0, L.c1 + 1, L.r1 + 1);
    if (pts.size() < 3) return;
    const FillStyle& f = L.fill;
    if (f.style >= 3) {
        display().polygon(pts, L.colour.rgb);
    } else if (f.style == 0) {
        // Hollow: the outline only.
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const PixelPoint& a = pts[i];
            const PixelPoint& b = pts[(i + 1) % pts.size()];
            display().line(static_cast<int>(a.x), static_cast<int>(a.y), static_cast<int>(b.x), static_cast<int>(b.y),
                           L.colour.rgb);
        }
    } else {
        // Our own line fill: hatching every 2 * density + 2 pixels in one of
        // four directions; style 2 crosses it.
        static constexpr double angles[5] = {0, 0, 90, 45, 135};
        double spacing = 2.0 * f.density + 2.0, a = angles[f.angle];
        display().hatch(pts, L.colour.rgb, spacing, a);
        if (f.style == 2) display().hatch(pts, L.colour.rgb, spacing, a + 90);
    }
    L.drawn = true;
}

bool window_is_open() { return layer().open; }
int error_state() { return layer().error; }
void reset_error_state() { layer().error = 0; }
void window_size(int& width, int& height) {
    width = layer().width;
    height = layer().height;
}
void text_position(int& x, int& y) {
    x = layer().text_x;
    y = layer().text_y;
}
void user_to_pixel(double x, double y, double& px, double& py) { to_centre(x, y, px, py); }
Rgb pixel_at(int px, int py) { return layer().open ? display().canvas().pixel(px, py) : Rgb{}; }
ColourState colour_state() {
    Layer& L = layer();
    if (L.colour.palette_index < 0) L.colour.palette_index = nearest_palette_index(L.palette, L.colour.rgb);
    return L.colour;
}
FillStyle fill_style() { return layer().fill; }
bool message_enabled(int type) { return type >= 0 && type <= 15 && layer().enabled[static_cast<std::size_t>(type)]; }
void present_window() {
    if (layer().open && layer().display) layer().display->present();
}

}  // namespace screen
