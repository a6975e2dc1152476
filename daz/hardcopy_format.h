#pragma once
// What "H" writes: the EPS file of the plotter's sheet, or a PDF, SVG or
// PNG of the upright landscape page; and where it goes.
#include <optional>
#include <string>
#include <string_view>

namespace daz {

enum class HardcopyFormat { Eps, Pdf, Svg, Png };

struct HardcopyOutput {
    HardcopyFormat format = HardcopyFormat::Eps;
    int dpi = 150;     // PNG only
    std::string name;  // empty: the next free OUTnn with the format's extension
};

inline constexpr int kMinDpi = 50, kMaxDpi = 1200;

// "EPS", "PDF", "SVG" or "PNG": the extension of the OUTnn names.
std::string_view extension_of(HardcopyFormat format);
// The format named eps, pdf, svg or png, in any case.
std::optional<HardcopyFormat> format_named(std::string_view name);
// The format a file name's extension stands for, if any.
std::optional<HardcopyFormat> format_of_file(std::string_view file_name);

}  // namespace daz
