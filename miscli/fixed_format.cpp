#include "miscli/fixed_format.h"

#include <algorithm>
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

std::string fmt_i_wide(long value, int w, int blanks) {
    const std::string digits = std::to_string(value);
    return right(digits, std::max(w, static_cast<int>(digits.size()) + blanks));
}

char* put_i(char* out, long value, int w) {
    char digits[24];
    char* d = digits + sizeof digits;
    unsigned long v = value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        *--d = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (value < 0) *--d = '-';
    const int n = static_cast<int>(digits + sizeof digits - d);
    if (n > w) return std::fill_n(out, w, '*');
    for (int i = n; i < w; ++i) *out++ = ' ';
    for (int i = 0; i < n; ++i) *out++ = d[i];
    return out;
}

std::string fmt_i0(long value, int w, int m) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < m) digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    if (value < 0) digits.insert(0, 1, '-');
    return right(digits, w);
}

// Decimal digits of |value| rounded to d decimals, halves away from zero,
// as "123.46". The exact expansion is printed long enough that a tie shows
// as a 5 followed by zeros, and the rounding is then done on the digits.
static std::string rounded_digits(double magnitude, int d) {
    // Quick path: scale to an integer; only a product that lands too near a
    // half to tell needs the exact expansion below.
    static constexpr double pow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    if (d >= 0 && d <= 8 && magnitude < 1e9) {
        const double scaled = magnitude * pow10[d];
        const double whole = std::floor(scaled);
        const double frac = scaled - whole;
        if (std::fabs(frac - 0.5) > 1e-6) {
            long long n = static_cast<long long>(whole) + (frac > 0.5 ? 1 : 0);
            std::string digits = std::to_string(n);
            if (static_cast<int>(digits.size()) <= d) digits.insert(0, static_cast<std::size_t>(d + 1) - digits.size(), '0');
            digits.insert(digits.size() - static_cast<std::size_t>(d), 1, '.');
            return digits;
        }
    }
    char buf[400];
    int n = std::snprintf(buf, sizeof buf, "%.*f", d + 30, magnitude);
    if (n < 0 || n >= static_cast<int>(sizeof buf)) return {};
    std::string s(buf, static_cast<std::size_t>(n));
    std::size_t point = s.find('.');
    bool up = s[point + 1 + static_cast<std::size_t>(d)] >= '5';
    s.resize(point + 1 + static_cast<std::size_t>(d));  // Fw.0 keeps its point
    if (up) {
        std::size_t i = s.size();
        for (;;) {
            if (i == 0) {
                s.insert(0, 1, '1');
                break;
            }
            --i;
            if (s[i] == '.') continue;
            if (s[i] == '9') {
                s[i] = '0';
                continue;
            }
            ++s[i];
            break;
        }
    }
    return s;
}

std::string fmt_f(double value, int w, int d) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e300) return std::string(static_cast<std::size_t>(w), '*');
    std::string s = rounded_digits(std::fabs(value), d);
    if (s.empty()) return std::string(static_cast<std::size_t>(w), '*');
    // A value that rounds to zero prints without a minus sign.
    if (std::signbit(value) && s.find_first_not_of("0.") != std::string::npos) s.insert(0, 1, '-');
    if (w == 0) return s;  // F0.d: as wide as the number needs
    if (static_cast<int>(s.size()) > w) {
        if (s.rfind("0.", 0) == 0) s.erase(0, 1);
        else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    }
    return right(s, w);
}

std::string fmt_f_wide(double value, int w, int d, int blanks) {
    std::string fixed = fmt_f(value, w, d);
    if (!std::isfinite(value) || std::fabs(value) >= 1e300 || fixed.front() == ' ') return fixed;
    return std::string(static_cast<std::size_t>(blanks), ' ') + fmt_f(value, 0, d);
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
