#include "miscli/fixed_read.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace miscli {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_separator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; }

// Removes embedded blanks into buf; gives the length, or -1 if too long.
int squeeze(std::string_view field, char* buf, int cap) {
    int n = 0;
    for (char c : field) {
        if (is_blank(c)) continue;
        if (n == cap) return -1;
        buf[n++] = c;
    }
    return n;
}

// Most fields are short decimals: when the digits make an integer that a
// float holds exactly and the power of ten is one too, a single float
// multiplication or division is correctly rounded, the same as from_chars.
bool exact_quotient(bool negative, long mantissa, long exponent, float& value) {
    static constexpr float pow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    if (mantissa < 0 || mantissa > (1L << 24) || exponent < -10 || exponent > 10) return false;
    const float m = static_cast<float>(mantissa);
    const float v = exponent < 0 ? m / pow10[-exponent] : m * pow10[exponent];
    value = negative ? -v : v;
    return true;
}

// Parses sign, digits, optional point, optional exponent (E, D, or a bare
// sign after the digits, as Fortran input allows). Short decimals convert
// at once (exact_quotient); the rest go through from_chars on a normalised
// copy, which rounds correctly. implied < 0 means "never implied".
// The value comes back through a reference: a returned optional<float> is
// stored in two parts and read back whole, which stalls on every number.
bool parse_real(const char* s, int n, int implied, float& value) {
    int i = 0;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const int digits_from = i;
    int digits = 0;
    int point_at = -1;
    long mantissa = 0;  // -1 once too long for the quick conversion
    long scale = 0;
    for (; i < n; ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            ++digits;
            if (mantissa >= 0) mantissa = mantissa <= (1L << 24) ? mantissa * 10 + (c - '0') : -1;
            if (point_at >= 0) ++scale;
        } else if (c == '.' && point_at < 0) {
            point_at = i;
        } else {
            break;
        }
    }
    if (digits == 0 || digits > 60) return false;
    const int digits_to = i;
    long exponent = 0;
    if (i < n) {
        const char c = s[i];
        if (c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q') ++i;
        else if (c != '+' && c != '-') return false;
        bool neg = false;
        if (i < n && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
        if (i == n) return false;
        for (; i < n; ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
        }
        if (neg) exponent = -exponent;
    }
    if (point_at < 0 && implied > 0) exponent -= implied;
    if (exact_quotient(negative, mantissa, exponent - scale, value)) return true;

    char out[96];
    int o = 0;
    if (negative) out[o++] = '-';
    for (int k = digits_from; k < digits_to; ++k) out[o++] = s[k];
    if (exponent != 0) {
        out[o++] = 'e';
        auto r = std::to_chars(out + o, out + sizeof out, exponent);
        o = static_cast<int>(r.ptr - out);
    }
    float parsed = 0.0f;
    auto r = std::from_chars(out, out + o, parsed);
    if (r.ec == std::errc::result_out_of_range) {
        // Overflow to infinity is not a number we can use.
        if (exponent > 0) return false;
        value = negative ? -0.0f : 0.0f;
        return true;
    }
    if (r.ec != std::errc{} || r.ptr != out + o) return false;
    value = parsed;
    return true;
}

// The usual shape of a number, read in one pass: blanks, a sign, at most
// eight digits with at most one point, blanks to the end. Gives false for
// anything else, which the general reading then decides (with the same
// value for what both read: one exact float operation either way).
bool quick_real(const char* s, const char* end, int implied, float& value) {
    while (s < end && *s == ' ') ++s;
    bool negative = false;
    if (s < end && (*s == '-' || *s == '+')) negative = *s++ == '-';
    long mantissa = 0;
    int digits = 0, scale = 0;
    bool point = false;
    for (; s < end; ++s) {
        const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*s)) - '0';
        if (digit < 10) {
            mantissa = mantissa * 10 + digit;
            scale += point ? 1 : 0;
            if (++digits > 8) return false;
        } else if (*s == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    while (s < end && *s == ' ') ++s;
    if (s != end || digits == 0) return false;
    return exact_quotient(negative, mantissa, point ? -scale : -std::max(implied, 0), value);
}

// The same for a whole number of at most nine digits.
bool quick_int(const char* s, const char* end, long& value) {
    while (s < end && *s == ' ') ++s;
    bool negative = false;
    if (s < end && (*s == '-' || *s == '+')) negative = *s++ == '-';
    long v = 0;
    int digits = 0;
    for (; s < end; ++s) {
        const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*s)) - '0';
        if (digit >= 10) break;
        v = v * 10 + digit;
        if (++digits > 9) return false;
    }
    while (s < end && *s == ' ') ++s;
    if (s != end || digits == 0) return false;
    value = negative ? -v : v;
    return true;
}

// A fixed-column real field (blanks inside ignored, blank reads as 0).
bool parse_field(std::string_view field, int implied_decimals, float& value) {
    if (quick_real(field.data(), field.data() + field.size(), implied_decimals, value)) return true;
    char buf[64];
    int n = squeeze(field, buf, sizeof buf);
    if (n < 0) return false;
    if (n == 0) {
        value = 0.0f;
        return true;
    }
    return parse_real(buf, n, implied_decimals, value);
}

std::optional<long> parse_int(const char* s, int n) {
    int i = 0;
    bool neg = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    if (i == n) return std::nullopt;
    long v = 0;
    for (; i < n; ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483647L) return std::nullopt;
    }
    return neg ? -v : v;
}

}  // namespace

std::optional<long> parse_int_field(std::string_view field) {
    if (long v; quick_int(field.data(), field.data() + field.size(), v)) return v;
    char buf[64];
    int n = squeeze(field, buf, sizeof buf);
    if (n < 0) return std::nullopt;
    if (n == 0) return 0;
    return parse_int(buf, n);
}

std::optional<float> parse_real_field(std::string_view field, int implied_decimals) {
    float value;
    if (!parse_field(field, implied_decimals, value)) return std::nullopt;
    return value;
}

std::optional<long> parse_int_token(std::string_view token) {
    return parse_int(token.data(), static_cast<int>(token.size()));
}

std::string_view FixedReader::take(int n) {
    if (pos_ >= line_.size()) return {};
    auto piece = line_.substr(pos_, static_cast<std::size_t>(n));
    pos_ += static_cast<std::size_t>(n);
    return piece;
}

int FixedReader::i(int w) {
    auto v = parse_int_field(take(w));
    if (!v) { ok_ = false; return 0; }
    return static_cast<int>(*v);
}

float FixedReader::f(int w, int d) {
    float value;
    if (!parse_field(take(w), d, value)) { ok_ = false; return 0.0f; }
    return value;
}

std::string FixedReader::a(int n) {
    std::string s(take(n));
    s.resize(static_cast<std::size_t>(n), ' ');
    return s;
}

std::optional<std::string_view> ListReader::token() {
    for (;;) {
        std::size_t i = 0;
        while (i < rest_.size() && is_separator(rest_[i])) ++i;
        rest_.remove_prefix(i);
        if (!rest_.empty()) break;
        auto line = fetch_(source_);
        if (!line) return std::nullopt;
        rest_ = *line;
    }
    std::size_t j = 0;
    while (j < rest_.size() && !is_separator(rest_[j])) ++j;
    auto tok = rest_.substr(0, j);
    rest_.remove_prefix(j);
    return tok;
}

bool read_real_token(std::string_view token, float& value) {
    const char* end = token.data() + token.size();
    return quick_real(token.data(), end, -1, value) ||
           (token.size() <= 64 && parse_real(token.data(), static_cast<int>(token.size()), -1, value));
}

bool read_int_token(std::string_view token, int& value) {
    long v;
    if (!quick_int(token.data(), token.data() + token.size(), v)) {
        auto parsed = parse_int_token(token);
        if (!parsed) return false;
        v = *parsed;
    }
    value = static_cast<int>(v);
    return true;
}

int list_tokens(std::string_view line, std::string_view* out, int max) {
    int found = 0;
    std::size_t i = 0;
    while (found < max) {
        while (i < line.size() && is_separator(line[i])) ++i;
        if (i == line.size()) break;
        std::size_t j = i;
        while (j < line.size() && !is_separator(line[j])) ++j;
        out[found++] = line.substr(i, j - i);
        i = j;
    }
    return found;
}

bool ListReader::real(float& value) {
    auto tok = token();
    return tok && read_real_token(*tok, value);
}

bool ListReader::integer(int& value) {
    auto tok = token();
    return tok && read_int_token(*tok, value);
}

bool read_reals(std::string_view line, float* out, int count, int& found) {
    found = 0;
    std::size_t i = 0;
    while (found < count) {
        while (i < line.size() && is_separator(line[i])) ++i;
        if (i == line.size()) return true;
        std::size_t j = i;
        while (j < line.size() && !is_separator(line[j])) ++j;
        if (j - i > 64 || !parse_real(line.data() + i, static_cast<int>(j - i), -1, out[found])) return false;
        ++found;
        i = j;
    }
    return true;
}

}  // namespace miscli
