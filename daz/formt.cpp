// formt_: the label text of a tick value m * 10^e, a plain decimal while it
// is short, else a power of ten written with the superscript escape.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "daz/axis.h"
#include "miscli/fixed_format.h"
#include "miscli/strings.h"
#include "miscli/text_field.h"

namespace daz {

namespace {

constexpr std::size_t kField = static_cast<std::size_t>(kLabelField);
constexpr std::size_t kLongestDecimal = 6;

// m * 10^e with exactly -e decimals when e < 0; empty when it would not
// fit the label field (the field would overflow into asterisks).
std::string decimal(long long m, long long e) {
    std::string digits = std::to_string(m < 0 ? -m : m);
    std::string out;
    if (e >= 0) {
        if (digits.size() + static_cast<std::size_t>(std::min<long long>(e, 100)) + (m < 0) > kField) return {};
        out = digits + std::string(static_cast<std::size_t>(e), '0');
    } else {
        if (-e >= static_cast<long long>(kField)) return {};
        const auto places = static_cast<std::size_t>(-e);
        if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
        out = digits.substr(0, digits.size() - places) + "." + digits.substr(digits.size() - places);
    }
    if (m < 0) out.insert(0, 1, '-');
    if (out.size() > kField) return {};
    return out;
}

// "10\sup{e}", "-10\sup{e}" or "mx10\sup{e}".
std::string power_of_ten(long long m, long long e) {
    const long shown = static_cast<long>(std::clamp<long long>(e, -100000, 100000));
    std::string exponent = miscli::field(miscli::fmt_i(shown, 4) + "}", 5);
    int n = 0;
    miscli::ljustn_(exponent, n);
    std::string tail = " 10\\sup{" + exponent;
    std::string head;
    if (m == -1) {
        head = "-";
    } else if (m != 1) {
        head = std::to_string(m);
        tail[0] = 'x';
    }
    head = miscli::field(head, kField);
    miscli::charadd_(head, tail, n);
    return head.substr(0, static_cast<std::size_t>(n));
}

}  // namespace

void formt_(int m, int e, std::string& text, int& length, int mode) {
    text.assign(kField, ' ');
    if (m == 0) {
        text[0] = '0';
        length = 1;
        return;
    }
    long long mm = m, ee = e;
    while (mm % 10 == 0) {
        mm /= 10;
        ++ee;
    }
    std::string out;
    if (mode == 0) out = decimal(mm, ee);
    if (out.empty() || out.size() > kLongestDecimal) out = power_of_ten(mm, ee);
    length = static_cast<int>(std::min(out.size(), kField));
    text.replace(0, static_cast<std::size_t>(length), out, 0, static_cast<std::size_t>(length));
}

}  // namespace daz
