#include "miscli/fixed_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace miscli {

namespace {
std::string right(std::string s, int w) {
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}
}  // namespace

std::string fmt_i(long value, int w) { return right(std::to_string(value), w); }

std::string fmt_i0(long value, int w, int m) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < m) digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    if (value < 0) digits.insert(0, 1, '-');
    return right(digits, w);
}

std::string fmt_f(double value, int w, int d) {
    if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(w), '*');
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%.*f", d, value);
    if (n < 0 || n >= static_cast<int>(sizeof buf)) return std::string(static_cast<std::size_t>(w), '*');
    std::string s(buf, static_cast<std::size_t>(n));
    // A value that rounds to zero prints without its minus sign.
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    if (static_cast<int>(s.size()) > w) {
        if (s.rfind("0.", 0) == 0) s.erase(0, 1);
        else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    }
    return right(s, w);
}

void ListLine::separate() {
    if (text_.back() != ' ') text_ += ' ';
}

ListLine& ListLine::operator<<(long v) {
    separate();
    text_ += std::to_string(v);
    return *this;
}

ListLine& ListLine::operator<<(double v) {
    separate();
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v));
    text_.append(buf, r.ptr);
    return *this;
}

}  // namespace miscli
