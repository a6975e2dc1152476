#pragma once
// UTF-8: reading characters one by one and writing them back. Only
// well-formed UTF-8 is read: no overlong forms, no surrogates, nothing past
// U+10FFFF.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace miscli {

// The character that starts at byte `at` of s, with `at` moved past it;
// nullopt (and `at` unchanged) when the bytes there are not UTF-8.
std::optional<char32_t> next_utf8(std::string_view s, std::size_t& at);

// Appends c as UTF-8 (c must be at most U+10FFFF and not a surrogate).
void append_utf8(std::string& out, char32_t c);

// The number of characters of s; nullopt when s is not UTF-8.
std::optional<std::size_t> utf8_length(std::string_view s);

// Whether c is a control character: C0, DEL or C1.
constexpr bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

}  // namespace miscli
