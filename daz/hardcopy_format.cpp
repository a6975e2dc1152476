#include "daz/hardcopy_format.h"

#include <sys/stat.h>
#include <unistd.h>

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

std::string lower_case(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

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
        why = "the name must end in .eps, .pdf, .svg or .png (in any case), or have no extension";
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
