#pragma once
// The plot's title: typed once per section (or given with --title) as UTF-8,
// drawn as stroke text after the serial number and dives.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace app {

inline constexpr std::size_t kTitleLength = 45;  // characters

// The stroke text that draws the title; nullopt with the reason when the
// fonts cannot draw it, it is longer than kTitleLength characters, or its
// raised and lowered runs make it too long for one line of stroke text.
std::optional<std::string> title_stroke_text(std::string_view title, std::string& why);

}  // namespace app
