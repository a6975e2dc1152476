#include "screen/canvas.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "miscli/utf8.h"

namespace screen {

namespace {
// Long paths stroke slower than several short ones once they overlap.
constexpr int kMaxPendingSegments = 512;
constexpr const char* kTextFace = "DejaVu Sans Mono";

// Printable ASCII and well-formed UTF-8 reach the window; a control
// character or a byte of broken UTF-8 shows as '?', since cairo would take
// the whole text as broken.
std::string shown_text(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> c = miscli::next_utf8(text, at);
        if (!c || miscli::is_control(*c)) {
            s += '?';
            at = start + 1;
        } else {
            s.append(text.substr(start, at - start));
        }
    }
    return s;
}

// The whole pixel a polygon edge at x starts on when filled without
// antialiasing: x held as cairo holds it (1/256 pixel, nearest, ties to
// even) and taken to the nearer pixel edge, a half going down.
long pixel_edge(double x) {
    const double fixed = std::nearbyint(x * 256.0);
    return static_cast<long>(std::floor((fixed + 127.0) / 256.0));
}

// The corners of an axis-aligned rectangle given as four points in either
// turn, or false.
bool as_rectangle(const std::vector<PixelPoint>& p, double& x1, double& y1, double& x2, double& y2) {
    if (p.size() != 4) return false;
    const bool across_first = p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
    const bool up_first = p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
    if (!across_first && !up_first) return false;
    x1 = std::min(p[0].x, p[2].x);
    x2 = std::max(p[0].x, p[2].x);
    y1 = std::min(p[0].y, p[2].y);
    y2 = std::max(p[0].y, p[2].y);
    // Far outside the canvas the fixed-point form no longer holds.
    constexpr double kFar = 1 << 22;
    return std::isfinite(x1 + x2 + y1 + y2) && x1 > -kFar && x2 < kFar && y1 > -kFar && y2 < kFar;
}

void set_pen(cairo_t* cr) {
    cairo_set_line_width(cr, 1.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
}
}  // namespace

Canvas::~Canvas() { destroy(); }

void Canvas::destroy() {
    drop_unscaled();
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
    cr_ = nullptr;
    surface_ = nullptr;
    width_ = height_ = 0;
    stroke_pending_ = false;
    pending_segments_ = 0;
}

void Canvas::create(int width, int height, Rgb background) {
    destroy();
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    background_ = background;
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
    cr_ = cairo_create(surface_);
    set_pen(cr_);
    set_colour(background_);
    cairo_paint(cr_);
}

void Canvas::resize(int width, int height) {
    if (!surface_) {
        create(width, height, background_);
        return;
    }
    flush();
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == width_ && height == height_) return;
    cairo_surface_t* source = unscaled_ ? unscaled_ : surface_;
    const int source_w = cairo_image_surface_get_width(source), source_h = cairo_image_surface_get_height(source);
    cairo_surface_t* fresh = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(fresh);
    cairo_set_source_rgb(cr, background_.r / 255.0, background_.g / 255.0, background_.b / 255.0);
    cairo_paint(cr);
    cairo_scale(cr, static_cast<double>(width) / source_w, static_cast<double>(height) / source_h);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_destroy(cr_);
    if (unscaled_) cairo_surface_destroy(surface_);
    else unscaled_ = surface_;
    surface_ = fresh;
    cr_ = cairo_create(surface_);
    set_pen(cr_);
    width_ = width;
    height_ = height;
}

void Canvas::set_colour(Rgb c) { cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

void Canvas::set_font(double size) {
    cairo_select_font_face(cr_, kTextFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
    // Advances in fractions of a pixel: with whole pixels a slightly
    // smaller size often takes the same room, and text made smaller to fit
    // would not.
    static cairo_font_options_t* options = [] {
        cairo_font_options_t* o = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
        return o;
    }();
    cairo_set_font_options(cr_, options);
}

void Canvas::drop_unscaled() {
    if (!unscaled_) return;
    cairo_surface_destroy(unscaled_);
    unscaled_ = nullptr;
}

void Canvas::flush() {
    if (!stroke_pending_) return;
    set_colour(stroke_colour_);
    cairo_stroke(cr_);
    stroke_pending_ = false;
    pending_segments_ = 0;
}

void Canvas::fill_rect(int x1, int y1, int x2, int y2, Rgb colour) {
    if (!surface_) return;
    flush();
    drop_unscaled();
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_ - 1);
    y2 = std::min(y2, height_ - 1);
    if (x1 > x2 || y1 > y2) return;
    set_colour(colour);
    cairo_rectangle(cr_, x1, y1, x2 - x1 + 1, y2 - y1 + 1);
    cairo_fill(cr_);
}

void Canvas::line(int x1, int y1, int x2, int y2, Rgb colour) {
    if (!surface_) return;
    drop_unscaled();
    if (x1 == x2 && y1 == y2) {
        // A zero-length segment still marks its pixel.
        flush();
        set_colour(colour);
        cairo_rectangle(cr_, x1, y1, 1, 1);
        cairo_fill(cr_);
        return;
    }
    if (stroke_pending_ && (!(colour == stroke_colour_) || pending_segments_ >= kMaxPendingSegments)) flush();
    double ax = x1 + 0.5, ay = y1 + 0.5;
    bool continues = false;
    if (stroke_pending_) {
        double cx, cy;
        cairo_get_current_point(cr_, &cx, &cy);
        continues = cx == ax && cy == ay;
    }
    if (!continues) cairo_move_to(cr_, ax, ay);
    cairo_line_to(cr_, x2 + 0.5, y2 + 0.5);
    stroke_pending_ = true;
    stroke_colour_ = colour;
    ++pending_segments_;
}

void Canvas::polygon(const std::vector<PixelPoint>& points, Rgb colour) {
    if (!surface_ || points.size() < 3) return;
    flush();
    drop_unscaled();
    // The cells of a section are rectangles, hundreds of thousands of them:
    // their pixels are set here, the same ones cairo would fill, without
    // cairo's cost for each path.
    if (double x1, y1, x2, y2; as_rectangle(points, x1, y1, x2, y2)) {
        const long c1 = std::max(pixel_edge(x1), 0L), c2 = std::min(pixel_edge(x2), static_cast<long>(width_));
        const long r1 = std::max(pixel_edge(y1), 0L), r2 = std::min(pixel_edge(y2), static_cast<long>(height_));
        if (c1 >= c2 || r1 >= r2) return;
        cairo_surface_flush(surface_);
        unsigned char* data = cairo_image_surface_get_data(surface_);
        const int stride = cairo_image_surface_get_stride(surface_);
        const std::uint32_t argb = 0xFF000000u | std::uint32_t{colour.r} << 16 | std::uint32_t{colour.g} << 8 | colour.b;
        for (long r = r1; r < r2; ++r) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + r * stride);
            std::fill(row + c1, row + c2, argb);
        }
        cairo_surface_mark_dirty_rectangle(surface_, static_cast<int>(c1), static_cast<int>(r1),
                                           static_cast<int>(c2 - c1), static_cast<int>(r2 - r1));
        return;
    }
    cairo_new_path(cr_);
    cairo_move_to(cr_, points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(cr_, points[i].x, points[i].y);
    cairo_close_path(cr_);
    set_colour(colour);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    cairo_fill(cr_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_DEFAULT);
}

void Canvas::hatch(const std::vector<PixelPoint>& points, Rgb colour, double spacing, double angle_deg) {
    if (!surface_ || points.size() < 3 || !(spacing > 0)) return;
    flush();
    drop_unscaled();
    double x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (const auto& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    cairo_save(cr_);
    cairo_new_path(cr_);
    cairo_move_to(cr_, points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(cr_, points[i].x, points[i].y);
    cairo_close_path(cr_);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr_);
    // Lines through the bounding box's centre, far enough out to cover it.
    double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, reach = std::hypot(x1 - x0, y1 - y0) / 2 + spacing;
    double a = angle_deg * M_PI / 180.0, dx = std::cos(a), dy = -std::sin(a);
    for (double t = -reach; t <= reach; t += spacing) {
        double px = cx - dy * t, py = cy + dx * t;
        cairo_move_to(cr_, px - dx * reach, py - dy * reach);
        cairo_line_to(cr_, px + dx * reach, py + dy * reach);
    }
    set_colour(colour);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    cairo_stroke(cr_);
    cairo_restore(cr_);
}

int Canvas::text(int x, int y, std::string_view text, double size, Rgb colour, Rgb background,
                 std::optional<PixelRect> clip) {
    if (!surface_ || text.empty()) return x;
    flush();
    drop_unscaled();
    const std::string s = shown_text(text);
    cairo_save(cr_);
    if (clip) {
        cairo_rectangle(cr_, clip->x1, clip->y1, clip->x2 - clip->x1 + 1, clip->y2 - clip->y1 + 1);
        cairo_clip(cr_);
    }
    set_font(size);
    cairo_font_extents_t fe;
    cairo_font_extents(cr_, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr_, s.c_str(), &te);
    set_colour(background);
    cairo_rectangle(cr_, x, y - std::ceil(fe.ascent), std::ceil(te.x_advance), std::ceil(fe.ascent) + std::ceil(fe.descent));
    cairo_fill(cr_);
    set_colour(colour);
    cairo_move_to(cr_, x, y);
    cairo_show_text(cr_, s.c_str());
    cairo_new_path(cr_);
    cairo_restore(cr_);
    return x + static_cast<int>(std::lround(te.x_advance));
}

double Canvas::text_advance(std::string_view text, double size) {
    if (!surface_ || text.empty()) return 0;
    flush();
    const std::string s = shown_text(text);
    set_font(size);
    cairo_text_extents_t te;
    cairo_text_extents(cr_, s.c_str(), &te);
    return te.x_advance;
}

Rgb Canvas::pixel(int x, int y) {
    if (!surface_ || x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    flush();
    cairo_surface_flush(surface_);
    const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    std::uint32_t v;
    std::copy_n(row + 4 * x, 4, reinterpret_cast<unsigned char*>(&v));
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

bool Canvas::write_png(const std::string& path) {
    if (!surface_) return false;
    flush();
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

const unsigned char* Canvas::data() {
    if (!surface_) return nullptr;
    flush();
    cairo_surface_flush(surface_);
    return cairo_image_surface_get_data(surface_);
}

int Canvas::stride() { return surface_ ? cairo_image_surface_get_stride(surface_) : 0; }

}  // namespace screen
