// stroke_text_of: UTF-8 text turned into the stroke text that draws it.
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "daz/stroke_text.h"
#include "miscli/utf8.h"

namespace daz {

namespace {

// Where a character stands: on the line, raised or lowered.
enum class Place { Line, Up, Down };

struct StrokeChar {
    char32_t code;
    std::string_view text;  // the stroke text that draws it
    Place place;
    std::string_view name;
};

// The characters beyond ASCII that the fonts draw, other than the Greek
// letters. Shared signs go by glyph number; raised and lowered characters
// are ASCII in a group.
constexpr StrokeChar kChars[] = {
    {0x00A0, " ", Place::Line, "NO-BREAK SPACE"},
    {0x00B0, "\\1397\\", Place::Line, "DEGREE SIGN"},
    {0x00B1, "\\1387\\", Place::Line, "PLUS-MINUS SIGN"},
    {0x00B2, "2", Place::Up, "SUPERSCRIPT TWO"},
    {0x00B3, "3", Place::Up, "SUPERSCRIPT THREE"},
    {0x00B5, "\\mu\\", Place::Line, "MICRO SIGN"},
    {0x00B7, "\\1390\\", Place::Line, "MIDDLE DOT"},
    {0x00B9, "1", Place::Up, "SUPERSCRIPT ONE"},
    {0x00D7, "\\1389\\", Place::Line, "MULTIPLICATION SIGN"},
    {0x00F7, "\\1413\\", Place::Line, "DIVISION SIGN"},
    {0x2010, "-", Place::Line, "HYPHEN"},
    {0x2013, "-", Place::Line, "EN DASH"},
    {0x2018, "'", Place::Line, "LEFT SINGLE QUOTATION MARK"},
    {0x2019, "'", Place::Line, "RIGHT SINGLE QUOTATION MARK"},
    {0x201C, "\"", Place::Line, "LEFT DOUBLE QUOTATION MARK"},
    {0x201D, "\"", Place::Line, "RIGHT DOUBLE QUOTATION MARK"},
    {0x2032, "'", Place::Line, "PRIME"},
    {0x2070, "0", Place::Up, "SUPERSCRIPT ZERO"},
    {0x2074, "4", Place::Up, "SUPERSCRIPT FOUR"},
    {0x2075, "5", Place::Up, "SUPERSCRIPT FIVE"},
    {0x2076, "6", Place::Up, "SUPERSCRIPT SIX"},
    {0x2077, "7", Place::Up, "SUPERSCRIPT SEVEN"},
    {0x2078, "8", Place::Up, "SUPERSCRIPT EIGHT"},
    {0x2079, "9", Place::Up, "SUPERSCRIPT NINE"},
    {0x207A, "+", Place::Up, "SUPERSCRIPT PLUS SIGN"},
    {0x207B, "-", Place::Up, "SUPERSCRIPT MINUS"},
    {0x207C, "=", Place::Up, "SUPERSCRIPT EQUALS SIGN"},
    {0x207D, "(", Place::Up, "SUPERSCRIPT LEFT PARENTHESIS"},
    {0x207E, ")", Place::Up, "SUPERSCRIPT RIGHT PARENTHESIS"},
    {0x2080, "0", Place::Down, "SUBSCRIPT ZERO"},
    {0x2081, "1", Place::Down, "SUBSCRIPT ONE"},
    {0x2082, "2", Place::Down, "SUBSCRIPT TWO"},
    {0x2083, "3", Place::Down, "SUBSCRIPT THREE"},
    {0x2084, "4", Place::Down, "SUBSCRIPT FOUR"},
    {0x2085, "5", Place::Down, "SUBSCRIPT FIVE"},
    {0x2086, "6", Place::Down, "SUBSCRIPT SIX"},
    {0x2087, "7", Place::Down, "SUBSCRIPT SEVEN"},
    {0x2088, "8", Place::Down, "SUBSCRIPT EIGHT"},
    {0x2089, "9", Place::Down, "SUBSCRIPT NINE"},
    {0x208A, "+", Place::Down, "SUBSCRIPT PLUS SIGN"},
    {0x208B, "-", Place::Down, "SUBSCRIPT MINUS"},
    {0x208C, "=", Place::Down, "SUBSCRIPT EQUALS SIGN"},
    {0x208D, "(", Place::Down, "SUBSCRIPT LEFT PARENTHESIS"},
    {0x208E, ")", Place::Down, "SUBSCRIPT RIGHT PARENTHESIS"},
    {0x2126, "\\OMEGA\\", Place::Line, "OHM SIGN"},
    {0x2190, "\\1404\\", Place::Line, "LEFTWARDS ARROW"},
    {0x2191, "\\1403\\", Place::Line, "UPWARDS ARROW"},
    {0x2192, "\\1402\\", Place::Line, "RIGHTWARDS ARROW"},
    {0x2193, "\\1412\\", Place::Line, "DOWNWARDS ARROW"},
    {0x2202, "\\1399\\", Place::Line, "PARTIAL DIFFERENTIAL"},
    {0x2207, "\\1400\\", Place::Line, "NABLA"},
    {0x220F, "\\1431\\", Place::Line, "N-ARY PRODUCT"},
    {0x2211, "\\1430\\", Place::Line, "N-ARY SUMMATION"},
    {0x2212, "-", Place::Line, "MINUS SIGN"},
    {0x2213, "\\1388\\", Place::Line, "MINUS-OR-PLUS SIGN"},
    {0x221A, "\\1398\\", Place::Line, "SQUARE ROOT"},
    {0x221D, "\\1395\\", Place::Line, "PROPORTIONAL TO"},
    {0x221E, "\\1396\\", Place::Line, "INFINITY"},
    {0x222B, "\\1401\\", Place::Line, "INTEGRAL"},
    {0x2260, "\\1393\\", Place::Line, "NOT EQUAL TO"},
    {0x2261, "\\1394\\", Place::Line, "IDENTICAL TO"},
    {0x2264, "\\1391\\", Place::Line, "LESS-THAN OR EQUAL TO"},
    {0x2265, "\\1392\\", Place::Line, "GREATER-THAN OR EQUAL TO"},
    {0x22C5, "\\1390\\", Place::Line, "DOT OPERATOR"},
};

// The Greek letters in alphabetical order, as the escapes and the
// character names spell them; U+0391 and U+03B1 onwards hold them in this
// order too, with a gap for the final sigma.
constexpr std::array<std::string_view, 24> kGreek = {
    "alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta",     "theta",   "iota", "kappa", "lambda", "mu",
    "nu",    "xi",   "omicron", "pi",  "rho",     "sigma", "tau",    "upsilon", "phi",  "chi",   "psi",    "omega"};

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// The Greek letter c as an escape (capitals spelt in capitals, as chrcod_
// reads the later letters in the case of the first) and its name.
bool greek(char32_t c, std::string& text, std::string& name) {
    const bool capital = c >= 0x0391 && c <= 0x03A9 && c != 0x03A2;
    const bool small = c >= 0x03B1 && c <= 0x03C9;
    if (!capital && !small) return false;
    char32_t index = c - (capital ? 0x0391 : 0x03B1);
    if (index > 17) --index;  // past the final sigma's place, which draws as sigma
    const std::string_view letter = kGreek[index];
    text = '\\';
    text.append(capital ? upper(letter) : std::string(letter));
    text += '\\';
    name = capital ? "GREEK CAPITAL LETTER " : "GREEK SMALL LETTER ";
    name.append(c == 0x03C2 ? "FINAL SIGMA" : letter == "lambda" ? "LAMDA" : upper(letter));
    return true;
}

// Names of characters often wanted that the fonts lack, for the refusal:
// the Latin-1 letters (U+00C0..U+00FF) and a few signs.
constexpr std::array<std::string_view, 32> kLatin1 = {
    "A WITH GRAVE", "A WITH ACUTE", "A WITH CIRCUMFLEX", "A WITH TILDE", "A WITH DIAERESIS", "A WITH RING ABOVE",
    "AE", "C WITH CEDILLA", "E WITH GRAVE", "E WITH ACUTE", "E WITH CIRCUMFLEX", "E WITH DIAERESIS",
    "I WITH GRAVE", "I WITH ACUTE", "I WITH CIRCUMFLEX", "I WITH DIAERESIS", "ETH", "N WITH TILDE",
    "O WITH GRAVE", "O WITH ACUTE", "O WITH CIRCUMFLEX", "O WITH TILDE", "O WITH DIAERESIS", "",
    "O WITH STROKE", "U WITH GRAVE", "U WITH ACUTE", "U WITH CIRCUMFLEX", "U WITH DIAERESIS", "Y WITH ACUTE",
    "THORN", ""};

struct Named {
    char32_t code;
    std::string_view name;
};
constexpr Named kLacking[] = {
    {0x00A3, "POUND SIGN"},      {0x00A7, "SECTION SIGN"},        {0x00A9, "COPYRIGHT SIGN"},
    {0x00AE, "REGISTERED SIGN"}, {0x00DF, "LATIN SMALL LETTER SHARP S"},
    {0x00FF, "LATIN SMALL LETTER Y WITH DIAERESIS"},              {0x2014, "EM DASH"},
    {0x2022, "BULLET"},          {0x2026, "HORIZONTAL ELLIPSIS"}, {0x2030, "PER MILLE SIGN"},
    {0x20AC, "EURO SIGN"},       {0x212B, "ANGSTROM SIGN"},       {0x2122, "TRADE MARK SIGN"},
    {0x2248, "ALMOST EQUAL TO"}, {0x2603, "SNOWMAN"},
};

std::string name_of(char32_t c) {
    std::string text, name;
    if (greek(c, text, name)) return name;
    for (const StrokeChar& k : kChars)
        if (k.code == c) return std::string(k.name);
    for (const Named& k : kLacking)
        if (k.code == c) return std::string(k.name);
    if (c >= 0x00C0 && c <= 0x00FE && !kLatin1[(c - 0x00C0) % 32].empty())
        return std::string(c < 0x00E0 ? "LATIN CAPITAL LETTER " : "LATIN SMALL LETTER ") +
               std::string(kLatin1[(c - 0x00C0) % 32]);
    return {};
}

std::string code_point(char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

// "U+2603 SNOWMAN", or the code point alone for a character without a name here.
std::string char_name(char32_t c) {
    const std::string name = name_of(c);
    return name.empty() ? code_point(c) : code_point(c) + " " + name;
}

}  // namespace

std::optional<std::string> stroke_text_of(std::string_view utf8, std::string& why) {
    std::string out;
    Place open = Place::Line;  // the groups being written
    // One group draws at 0.9 of the height, half a capital up or down: a
    // raised run goes up, down and up (0.73 of the height, 0.46 of a
    // capital up), a lowered one up, down and down (0.36 down), as
    // superscripts and subscripts are set.
    auto place = [&out, &open](Place p) {
        if (p == open) return;
        if (open != Place::Line) out += "}}}";
        if (p == Place::Up) out += "\\sup{\\sub{\\sup{";
        if (p == Place::Down) out += "\\sup{\\sub{\\sub{";
        open = p;
    };
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> c = miscli::next_utf8(utf8, at);
        if (!c) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "not UTF-8 text (byte 0x%02X at byte %zu)",
                          static_cast<unsigned>(static_cast<unsigned char>(utf8[start])), start + 1);
            why = buf;
            return std::nullopt;
        }
        if (miscli::is_control(*c)) {
            why = "the stroke font has no control character " + code_point(*c);
            return std::nullopt;
        }
        if (*c < 0x80) {
            place(Place::Line);
            out += static_cast<char>(*c);
            continue;
        }
        std::string text, name;
        if (greek(*c, text, name)) {
            place(Place::Line);
            out += text;
            continue;
        }
        const StrokeChar* found = nullptr;
        for (const StrokeChar& k : kChars)
            if (k.code == *c) found = &k;
        if (!found) {
            why = "the stroke font has no \"" + std::string(utf8.substr(start, at - start)) + "\" (" +
                  char_name(*c) + ")";
            return std::nullopt;
        }
        place(found->place);
        out += found->text;
    }
    place(Place::Line);
    return out;
}

}  // namespace daz
