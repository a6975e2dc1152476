#pragma once
// Fixed-length, blank-padded text fields, and the lower case of a text.
#include <string>
#include <string_view>

namespace miscli {

// The text padded with blanks or cut to exactly n characters.
std::string field(std::string_view text, std::size_t n);

// The text without its trailing blanks.
std::string_view trim_right(std::string_view text);

// The text with A..Z as a..z (names compared ignoring case).
std::string lower_case(std::string_view text);

}  // namespace miscli
