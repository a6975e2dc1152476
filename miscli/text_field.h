#pragma once
// Fixed-length, blank-padded text fields.
#include <string>
#include <string_view>

namespace miscli {

// The text padded with blanks or cut to exactly n characters.
std::string field(std::string_view text, std::size_t n);

// The text without its trailing blanks.
std::string_view trim_right(std::string_view text);

}  // namespace miscli
