// chrcod_: a text with escapes turned into glyph and control codes.
#include <array>
#include <cstdint>
#include <string_view>

#include "daz/stroke_text.h"
#include "miscli/fixed_read.h"
#include "miscli/text_field.h"

namespace daz {

Ajust ajust;
Ofset ofset;

namespace {

constexpr std::int32_t kBlank = 1000;
constexpr std::int32_t kSupStart = 1001;
constexpr std::int32_t kSubStart = 1002;
constexpr std::int32_t kGroupEnd = 1003;
constexpr std::int32_t kBackspace = 1004;
constexpr std::int32_t kFirstShared = 385;  // shared signs take no font offset

constexpr int kSimplex = 0, kComplex = 120, kItalic = 240, kDuplex = 312;
constexpr int kCapitalGreek = 72, kSmallGreek = 96;

// Codes of the printable characters (blank .. tilde), normal or italic.
using CharTable = std::array<std::int16_t, 95>;

constexpr CharTable make_table(bool italic) {
    CharTable t{};
    for (auto& c : t) c = kBlank;
    auto set = [&t](char c, int code) { t[static_cast<unsigned char>(c) - 32] = static_cast<std::int16_t>(code); };
    for (int i = 0; i < 26; ++i) {
        set(static_cast<char>('A' + i), 1 + i);
        set(static_cast<char>('a' + i), 27 + i);
    }
    for (int i = 0; i < 10; ++i) set(static_cast<char>('0' + i), 53 + i);
    constexpr std::string_view signs = "+-/=()*,.$";
    for (std::size_t i = 0; i < signs.size(); ++i) set(signs[i], 63 + static_cast<int>(i));
    set('<', 385);
    set('>', 386);
    set('{', 405);
    set('}', 406);
    set('@', 407);
    set('^', italic ? kBlank : 408);
    set('[', 409);
    set(']', 410);
    set('#', 411);
    set(':', italic ? 420 : 414);
    set(';', italic ? 421 : 415);
    set('!', italic ? 422 : 416);
    set('?', italic ? 423 : 417);
    set('%', 418);
    set('&', 419);
    set('~', 424);
    set('|', 427);
    set('"', 428);
    set('\'', 432);
    return t;
}

constexpr CharTable kNormal = make_table(false);
constexpr CharTable kItalicTable = make_table(true);

// Appends codes up to the capacity; a text that gives more is cut there.
struct CodeList {
    std::span<std::int32_t> codes;
    int n = 0;
    void add(std::int32_t code) {
        if (static_cast<std::size_t>(n) < codes.size()) codes[static_cast<std::size_t>(n++)] = code;
    }
};

// Greek letter index (1..24) of an escape name starting with a letter, the
// later letters compared in the case of the first; 0 when unknown.
int greek_index(char first, char second, char third, bool capital) {
    auto is = [capital](char c, char small) { return c == (capital ? small - 'a' + 'A' : small); };
    switch (capital ? first - 'A' + 'a' : first) {
        case 'a': return 1;
        case 'b': return 2;
        case 'c': return 22;
        case 'd': return 4;
        case 'g': return 3;
        case 'i': return 9;
        case 'k': return 10;
        case 'l': return 11;
        case 'm': return 12;
        case 'n': return 13;
        case 'r': return 17;
        case 's': return 18;
        case 'u': return 20;
        case 'x': return 14;
        case 'z': return 6;
        case 'e': return is(second, 'p') ? 5 : is(second, 't') ? 7 : 0;
        case 'o':
            if (!is(second, 'm')) return 0;
            return is(third, 'e') ? 24 : is(third, 'i') ? 15 : 0;
        case 'p': return is(second, 'h') ? 21 : is(second, 'i') ? 16 : is(second, 's') ? 23 : 0;
        case 't': return is(second, 'a') ? 19 : is(second, 'h') ? 8 : 0;
        default: return 0;
    }
}

}  // namespace

void chrcod_(std::string_view text, std::span<std::int32_t> codes, int& n) {
    const std::string_view used = miscli::trim_right(text);
    const std::size_t len = used.size();
    CodeList out{codes};
    // Characters past the declared length read as blanks.
    auto at = [text](std::size_t i) { return i < text.size() ? text[i] : ' '; };
    auto name_is = [&at](std::size_t from, std::string_view upper, std::string_view lower) {
        bool up = true, low = true;
        for (std::size_t k = 0; k < upper.size(); ++k) {
            up = up && at(from + k) == upper[k];
            low = low && at(from + k) == lower[k];
        }
        return up || low;
    };

    std::size_t i = 0;
    while (i < len) {
        const char c = used[i];
        if (c == '}') {
            out.add(kGroupEnd);
            ++i;
            continue;
        }
        if (c != '\\') {
            const auto u = static_cast<unsigned char>(c);
            std::int32_t code = kBlank;
            if (u >= 32 && u <= 126) {
                code = (ofset.font == kItalic ? kItalicTable : kNormal)[u - 32];
                if (code < kFirstShared) code += ofset.font;
            }
            out.add(code);
            ++i;
            continue;
        }

        // An escape; its name starts at q. Most forms end at the next
        // backslash: without one the escape still takes effect and only
        // the rest of the text after it is dropped.
        const std::size_t q = i + 1;
        const std::size_t close = used.find('\\', q);
        const bool closed = close != std::string_view::npos;
        const std::size_t after_close = closed ? close + 1 : len;

        const std::array<char, 4> digits = {at(q), at(q + 1), at(q + 2), at(q + 3)};
        if (auto v = miscli::parse_int_field(std::string_view(digits.data(), digits.size()))) {
            if (*v >= 1 && *v <= 499) out.add(static_cast<std::int32_t>(-*v));
            else if (*v >= 2000 && *v <= 2021) out.add(static_cast<std::int32_t>(*v));
            else if (*v >= 1000 && *v <= 1432) out.add(static_cast<std::int32_t>(*v - 1000));
            else out.add(kBlank);
            i = after_close;
            continue;
        }
        int font = -1;
        if (name_is(q, "SIM", "sim")) font = kSimplex;
        else if (name_is(q, "CO", "co")) font = kComplex;
        else if (name_is(q, "IT", "it")) font = kItalic;
        else if (name_is(q, "DU", "du")) font = kDuplex;
        if (font >= 0) {
            ofset.font = font;
            i = after_close;
            continue;
        }
        if (name_is(q, "BS", "bs")) {
            out.add(kBackspace);
            i += 4;
            continue;
        }
        if (name_is(q, "SUP{", "sup{") || name_is(q, "SUB{", "sub{")) {
            out.add(at(q + 2) == 'P' || at(q + 2) == 'p' ? kSupStart : kSubStart);
            i += 5;
            continue;
        }
        const char first = at(q);
        const bool capital = first >= 'A' && first <= 'Z';
        const bool small = first >= 'a' && first <= 'z';
        const int index = capital || small ? greek_index(first, at(q + 1), at(q + 2), capital) : 0;
        if (index > 0) {
            const int font = ofset.font < kComplex ? ofset.font : kComplex;
            out.add(index + (capital ? kCapitalGreek : kSmallGreek) + font);
        } else {
            out.add(kBlank);
        }
        i = after_close;
    }
    n = out.n;
}

}  // namespace daz
