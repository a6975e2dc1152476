#include "miscli/utf8.h"

namespace miscli {

std::optional<char32_t> next_utf8(std::string_view s, std::size_t& at) {
    if (at >= s.size()) return std::nullopt;
    const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return static_cast<char32_t>(s[at++]);
    int more = 0;
    char32_t c = 0, least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1, c = lead & 0x1Fu, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2, c = lead & 0x0Fu, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3, c = lead & 0x07u, least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (s.size() - at <= static_cast<std::size_t>(more)) return std::nullopt;
    for (int k = 1; k <= more; ++k) {
        const unsigned char b = byte(at + static_cast<std::size_t>(k));
        if ((b & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (b & 0x3Fu);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    at += static_cast<std::size_t>(more) + 1;
    return c;
}

void append_utf8(std::string& out, char32_t c) {
    const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

std::optional<std::size_t> utf8_length(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t at = 0; at < s.size(); ++n)
        if (!next_utf8(s, at)) return std::nullopt;
    return n;
}

}  // namespace miscli
