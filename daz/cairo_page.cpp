// A hardcopy page drawn with cairo: a PDF, SVG or PNG of the upright
// landscape page, 10 x 8 inches. It is drawn exactly as the EPS writer
// writes, in the same file units (thousandths of an inch on the plotter's
// sheet, here turned back upright), so the pictures agree stroke for
// stroke: every draw is stroked by itself with butt caps, as the EPS's D
// does; colours are rounded to hundredths, as in its setrgbcolor lines;
// fills take the vertices held to the sheet and the nonzero rule of its
// ufill.
#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "daz/cell_raster.h"
#include "daz/line_chains.h"
#include "daz/png_file.h"
#include "daz/device.h"
#include "daz/hardcopy_format.h"
#include "daz/hardcopy_target.h"

namespace daz {

namespace {

// The page in points (PDF, SVG) and the file unit in points.
constexpr double kPageWidthPt = 720.0, kPageHeightPt = 576.0, kUnitPt = 0.072;
constexpr double kPageWidthIn = 10.0, kPageHeightIn = 8.0;
// The finest cell raster [pixels a layout inch]: 10 x 8 inches of it take
// 130 MB of sums.
constexpr double kMostCellsPerInch = 320.0;
// Up to this many cells a section is drawn a path a cell (a dive file's
// section of a few hundred dives), beyond it as an image.
constexpr std::size_t kMostCellPaths = 40000;

cairo_status_t to_target(void* closure, const unsigned char* data, unsigned int length) {
    // A failed write is kept by the target and reported when it is closed;
    // a dropped target tells cairo to stop writing.
    auto* target = static_cast<HardcopyTarget*>(closure);
    if (!target->is_open()) return CAIRO_STATUS_WRITE_ERROR;
    target->write(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

class CairoPage final : public Device {
public:
    // A page of `output`'s format (EPS: upright, boxed tight) and sheet size
    // written through `target`, which must stay open until finish; its dpi
    // sizes a PNG and is noted in it.
    CairoPage(const HardcopyOutput& output, HardcopyTarget& target);
    ~CairoPage() override;
    CairoPage(const CairoPage&) = delete;
    CairoPage& operator=(const CairoPage&) = delete;

    // A move (the EPS's M) or a draw from the last point (its D).
    void stroke(PagePoint to, int pen) override;
    void colour(float red, float green, float blue) override;
    void line_width(long width) override;
    void fill(std::span<const PagePoint> vertices) override;
    // The cells are drawn before whatever is drawn next: as a path each, as
    // always, or, once a section has more than a picture needs, as one image
    // at the output's resolution, so that a mission's millions of cells do
    // not make a file of millions of paths.
    void fill_cells(const CellColumn& column) override;
    // Ends the page and hands the rest (all of a PNG) to the target; false
    // with cairo's reason when the picture could not be made.
    bool finish(std::string& reason) override;

private:
    void paint_cells();
    void stroke_path();  // the gathered lines
    // What was handed over and not yet drawn, in order.
    void draw_pending() {
        stroke_path();
        paint_cells();
    }

    HardcopyFormat format_;
    std::size_t most_cell_paths_;      // cells filled as paths at most, before they go into an image
    std::optional<CellRaster> cells_;  // where the cells go, when they may go into an image
    bool raster_on_ = false;           // ... and once they do
    std::vector<CellColumn> pending_;  // columns not drawn yet
    std::size_t pending_cells_ = 0;
    std::optional<std::array<float, 3>> last_cell_colour_;
    double device_per_inch_ = 72.0;  // device units per inch of the layout page
    LineChains lines_;                 // lines gathered, to be stroked as one path
    int dpi_;
    // The file x of the page's top: above the plotter's sheet (below 0) on
    // a page taller than it, a stacked page.
    std::int32_t top_x_ = 0;
    HardcopyTarget& target_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    FilePoint last_;  // the EPS page starts with its current point at 0 0
};

CairoPage::CairoPage(const HardcopyOutput& output, HardcopyTarget& target)
    : format_(output.format), most_cell_paths_(output.cells_as_image ? 0 : kMostCellPaths), dpi_(output.dpi),
      target_(target) {
    const HardcopyFormat format = output.format;
    const int dpi = output.dpi;
    // The sheet, and the layout page drawn on it `scale` times its size.
    const double width_pt = kPageWidthPt * output.width / kPageWidthIn,
                 height_pt = kPageHeightPt * output.height / kPageHeightIn;
    const double scale = output.scale, page_height = output.height / output.scale;
    double unit = kUnitPt * scale;  // device units per file unit
    top_x_ = static_cast<std::int32_t>(std::min(0.0, std::floor((kPageHeightIn - page_height) * 1000.0)));
    switch (format) {
    case HardcopyFormat::Pdf:
        surface_ = cairo_pdf_surface_create_for_stream(to_target, &target_, width_pt, height_pt);
        break;
    case HardcopyFormat::Eps:
        // cairo boxes an EPS by what is drawn on it.
        surface_ = cairo_ps_surface_create_for_stream(to_target, &target_, width_pt, height_pt);
        cairo_ps_surface_set_eps(surface_, 1);
        break;
    case HardcopyFormat::Svg:
        surface_ = cairo_svg_surface_create_for_stream(to_target, &target_, width_pt, height_pt);
        cairo_svg_surface_set_document_unit(surface_, CAIRO_SVG_UNIT_PT);
        break;
    default:
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(std::lround(output.width * dpi)),
                                              static_cast<int>(std::lround(output.height * dpi)));
        unit = dpi / 1000.0 * scale;
        break;
    }
    cr_ = cairo_create(surface_);
    // The cells are drawn at the output's resolution (a PNG's pixels), while
    // the raster stays a size that fits in memory; beyond that they are
    // filled one by one.
    device_per_inch_ = unit * 1000.0;
    if (const double ppi = dpi * scale; ppi <= kMostCellsPerInch)
        cells_.emplace(kPageWidthIn, page_height, ppi);
    if (format != HardcopyFormat::Pdf && format != HardcopyFormat::Eps) {  // white paper, as a PDF viewer shows the page
        cairo_set_source_rgb(cr_, 1, 1, 1);
        cairo_paint(cr_);
    }
    // File point (PX, PY) stands at PY across and PX down the upright page;
    // a page lower than 8 inches has its top at PX = 8000 - its height.
    cairo_matrix_t m;
    cairo_matrix_init(&m, 0, unit, unit, 0, 0, -unit * (kPageHeightIn - page_height) * 1000.0);
    cairo_set_matrix(cr_, &m);
    cairo_set_source_rgb(cr_, 0, 0, 0);
    cairo_set_line_width(cr_, 10);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_BEVEL);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
}

CairoPage::~CairoPage() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void CairoPage::fill_cells(const CellColumn& column) {
    stroke_path();
    if (!column.cells.empty()) {
        const CellColumn::Cell& last = column.cells.back();
        last_cell_colour_ = std::array<float, 3>{last.red, last.green, last.blue};
    }
    if (raster_on_) {
        cells_->add(column);
        return;
    }
    pending_.push_back(column);
    pending_cells_ += column.cells.size();
    if (cells_ && pending_cells_ > most_cell_paths_) {
        for (const CellColumn& c : pending_) cells_->add(c);
        pending_.clear();
        raster_on_ = true;
    }
}

void CairoPage::paint_cells() {
    if (!pending_.empty()) {
        // Each cell a path, as the default device draws them.
        const std::vector<CellColumn> columns = std::move(pending_);
        pending_.clear();
        pending_cells_ = 0;
        for (const CellColumn& c : columns) Device::fill_cells(c);
    }
    if (!cells_ || cells_->empty()) return;
    CellRaster::Image image = cells_->take();
    cairo_surface_t* picture = cairo_image_surface_create_for_data(image.pixels.data(), CAIRO_FORMAT_ARGB32,
                                                                   image.width, image.height, image.stride);
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    const double k = device_per_inch_ / cells_->pixels_per_inch();
    cairo_scale(cr_, k, k);
    cairo_set_source_surface(cr_, picture, image.x, image.y);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
    cairo_paint(cr_);
    cairo_restore(cr_);
    // A vector surface may keep the picture until the page ends: it takes
    // its own copy now.
    cairo_surface_finish(picture);
    cairo_surface_destroy(picture);
    // What follows is drawn in the last cell's colour, as after filling each.
    if (last_cell_colour_) colour((*last_cell_colour_)[0], (*last_cell_colour_)[1], (*last_cell_colour_)[2]);
}

void CairoPage::stroke_path() {
    if (lines_.empty()) return;
    // Points within a file unit (a thousandth of an inch) of the line go.
    for (const std::vector<FilePoint>& line : lines_.take(1.0)) {
        cairo_move_to(cr_, line.front().x, line.front().y);
        for (std::size_t i = 1; i < line.size(); ++i) cairo_line_to(cr_, line[i].x, line[i].y);
    }
    cairo_stroke(cr_);
}

void CairoPage::stroke(PagePoint page, int pen) {
    paint_cells();
    const FilePoint to = file_point(page);
    // Once the cells went into an image (a mission's section), the lines are
    // gathered until the colour or width changes and joined into one path:
    // its contours would otherwise be a path per stroke.
    if (pen != 3 && raster_on_) {
        lines_.add(last_, to);
    } else if (pen != 3) {
        cairo_move_to(cr_, last_.x, last_.y);
        cairo_line_to(cr_, to.x, to.y);
        cairo_stroke(cr_);
    }
    last_ = to;
}

void CairoPage::colour(float red, float green, float blue) {
    draw_pending();
    cairo_set_source_rgb(cr_, hundredths(red) / 100.0, hundredths(green) / 100.0, hundredths(blue) / 100.0);
}

void CairoPage::line_width(long width) {
    draw_pending();
    cairo_set_line_width(cr_, static_cast<double>(width));
}

void CairoPage::fill(std::span<const PagePoint> vertices) {
    draw_pending();
    if (vertices.empty()) return;
    // Held to the sheet as the plotter's are, and to the top of a taller page.
    const auto held = [this](PagePoint p) {
        FilePoint q = file_point(p);
        return FilePoint{std::clamp<std::int32_t>(q.x, top_x_, 8000), std::clamp<std::int32_t>(q.y, 0, 10000)};
    };
    const FilePoint first = held(vertices[0]);
    cairo_move_to(cr_, first.x, first.y);
    for (const PagePoint& p : vertices.subspan(1)) {
        const FilePoint v = held(p);
        cairo_line_to(cr_, v.x, v.y);
    }
    cairo_close_path(cr_);
    cairo_fill(cr_);
}

bool CairoPage::finish(std::string& reason) {
    draw_pending();
    if (format_ != HardcopyFormat::Png) cairo_show_page(cr_);
    cairo_status_t status = cairo_status(cr_);
    if (status == CAIRO_STATUS_SUCCESS && format_ == HardcopyFormat::Png) {
        if (!write_png(surface_, dpi_, target_, reason)) return false;
    }
    cairo_surface_finish(surface_);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface_);
    if (status != CAIRO_STATUS_SUCCESS) reason = cairo_status_to_string(status);
    return status == CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::unique_ptr<Device> open_cairo_page(const HardcopyOutput& output, HardcopyTarget& target) {
    return std::make_unique<CairoPage>(output, target);
}

}  // namespace daz
