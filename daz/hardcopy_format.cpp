#include "daz/hardcopy_format.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "daz/device.h"
#include "miscli/text_field.h"

namespace daz {

// The writers, each in its own file.
using OpenWriter = std::unique_ptr<Device>(const HardcopyOutput& output, HardcopyTarget& target);
OpenWriter open_eps_writer;  // eps_writer.cpp
OpenWriter open_cairo_page;  // cairo_page.cpp

namespace {

struct Format {
    HardcopyFormat format;
    std::string_view extension;
    OpenWriter* open;
};

// The formats, one row each.
constexpr Format kFormats[] = {
    {HardcopyFormat::Eps, "EPS", open_eps_writer},
    {HardcopyFormat::Pdf, "PDF", open_cairo_page},
    {HardcopyFormat::Svg, "SVG", open_cairo_page},
    {HardcopyFormat::Png, "PNG", open_cairo_page},
};

const Format& row_of(HardcopyFormat format) {
    for (const Format& f : kFormats)
        if (f.format == format) return f;
    return kFormats[0];
}

bool same_letters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

using miscli::lower_case;

// The file standard output goes to under another name (/dev/stdout), when
// it is not a terminal or another device: written there as "-".
bool is_standard_output(const std::string& name) {
    struct stat named, out;
    return ::stat(name.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 && named.st_dev == out.st_dev &&
           named.st_ino == out.st_ino && !S_ISCHR(named.st_mode);
}

// A file that is there and is neither a regular file nor a folder: a
// device, a FIFO.
bool is_stream(const std::string& name) {
    struct stat st;
    return ::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

}  // namespace

float layout_scale(float width, float height) { return std::max({0.6f, width / 10.0f, height / 8.0f}); }

std::string format_list(std::string_view before, std::string_view mark) {
    std::string list;
    const std::size_t n = std::size(kFormats);
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) list += i + 1 < n ? ", " : " or ";
        list += before;
        list += lower_case(kFormats[i].extension);
        if (i == 0) list += mark;
    }
    return list;
}

std::string_view extension_of(HardcopyFormat format) { return row_of(format).extension; }

std::optional<HardcopyFormat> format_named(std::string_view name) {
    for (const Format& f : kFormats)
        if (same_letters(name, f.extension)) return f.format;
    return std::nullopt;
}

std::unique_ptr<Device> open_writer(const HardcopyOutput& output, HardcopyTarget& target) {
    // An upright EPS is the page as the other formats draw it.
    if (output.format == HardcopyFormat::Eps && output.upright) return open_cairo_page(output, target);
    return row_of(output.format).open(output, target);
}

bool settle_output_name(HardcopyOutput& output, bool format_given, std::string& why) {
    std::string& name = output.name;
    if (name != "-" && is_standard_output(name)) name.assign(1, '-');
    if (name.empty() || name == "-" || is_stream(name)) return true;
    const std::size_t slash = name.rfind('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = name.rfind('.');
    // A dot that starts the name (".plot") begins no extension.
    if (dot == std::string::npos || dot <= base) {
        name.append(".").append(lower_case(extension_of(output.format)));
        return true;
    }
    const auto named = format_named(std::string_view(name).substr(dot + 1));
    if (!named) {
        why = "the name must end in " + format_list(".") + " (in any case), or have no extension";
        return false;
    }
    if (format_given && *named != output.format) {
        why = "--hardcopy " + lower_case(extension_of(output.format)) + " asks for " +
              std::string(extension_of(output.format)) + ", not " + std::string(extension_of(*named));
        return false;
    }
    output.format = *named;
    return true;
}

}  // namespace daz
