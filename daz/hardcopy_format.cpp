#include "daz/hardcopy_format.h"

#include <array>
#include <cctype>

namespace daz {

namespace {

constexpr std::array<std::pair<HardcopyFormat, std::string_view>, 4> kNames{{
    {HardcopyFormat::Eps, "EPS"},
    {HardcopyFormat::Pdf, "PDF"},
    {HardcopyFormat::Svg, "SVG"},
    {HardcopyFormat::Png, "PNG"},
}};

bool same_letters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::string_view extension_of(HardcopyFormat format) {
    for (const auto& [f, name] : kNames)
        if (f == format) return name;
    return "EPS";
}

std::optional<HardcopyFormat> format_named(std::string_view name) {
    for (const auto& [f, n] : kNames)
        if (same_letters(name, n)) return f;
    return std::nullopt;
}

std::optional<HardcopyFormat> format_of_file(std::string_view file_name) {
    const std::size_t dot = file_name.rfind('.');
    const std::size_t slash = file_name.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
    return format_named(file_name.substr(dot + 1));
}

}  // namespace daz
