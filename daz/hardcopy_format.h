#pragma once
// What "H" writes: the EPS file of the plotter's sheet, or a PDF, SVG or
// PNG of the upright landscape page; and where it goes. Each format has
// its row in the table of hardcopy_format.cpp: its extension and the
// writer that draws it (a Device, in a file of its own).
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace daz {

class Device;
class HardcopyTarget;

enum class HardcopyFormat { Eps, Pdf, Svg, Png };

struct HardcopyOutput {
    HardcopyFormat format = HardcopyFormat::Eps;
    int dpi = 150;     // PNG only
    std::string name;  // empty: the next free OUTnn with the format's extension
    bool upright = false;  // EPS: the upright page with a tight box, not the plotter's sheet
    // The cells of every section painted as one image (a modern PNG), not
    // only those of a section of more cells than paths can carry.
    bool cells_as_image = false;
    // The page drawn on a sheet of width x height inches (--size): the
    // figure is laid out on a page of width / scale x height / scale
    // inches and drawn `scale` times that size.
    float width = 10.0f, height = 8.0f, scale = 1.0f;
};

// The layout scale of a sheet of width x height inches: the page keeps
// within 10 x 8 inches and its text at least 0.6 times the usual size.
float layout_scale(float width, float height);

inline constexpr int kMinDpi = 50, kMaxDpi = 1200;

// "EPS", "PDF", "SVG" or "PNG": the extension of the OUTnn names.
std::string_view extension_of(HardcopyFormat format);
// The formats' names in a sentence: "eps, pdf, svg or png", each after
// `before`, the first (the default) followed by `mark`.
std::string format_list(std::string_view before = {}, std::string_view mark = {});
// The format named eps, pdf, svg or png, in any case.
std::optional<HardcopyFormat> format_named(std::string_view name);
// The -o name checked against the format and completed: an extension must
// be eps, pdf, svg or png in any case (it chooses the format unless
// `format_given`, and must agree with it otherwise); a name without one
// gets the format's. "-" is standard output, and so is another name of the
// file it goes to (/dev/stdout); devices and FIFOs are taken as they are.
// False with the reason in `why`.
bool settle_output_name(HardcopyOutput& output, bool format_given, std::string& why);
// The writer of `output`'s format, drawing into the open `target`.
std::unique_ptr<Device> open_writer(const HardcopyOutput& output, HardcopyTarget& target);

}  // namespace daz
