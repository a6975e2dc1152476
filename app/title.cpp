#include "app/title.h"

#include <cstdint>
#include <vector>

#include "daz/stroke_text.h"
#include "miscli/utf8.h"

namespace app {

namespace {

// The codes the serial number and dives take ahead of the title.
constexpr int kSerialCodes = 15;

}  // namespace

std::optional<std::string> title_stroke_text(std::string_view title, std::string& why) {
    std::optional<std::string> text = daz::stroke_text_of(title, why);
    if (!text) return std::nullopt;
    if (miscli::utf8_length(title).value_or(0) > kTitleLength) {
        why = "at most 45 characters";
        return std::nullopt;
    }
    // Each raised or lowered run takes six codes of its own; codes past a
    // line's room would be dropped. Counted without changing the font.
    std::vector<std::int32_t> codes(2 * daz::MXCODE);
    int n = 0;
    const std::int32_t font = daz::ofset.font;
    daz::chrcod_(*text, codes, n);
    daz::ofset.font = font;
    if (n > daz::MXCODE - kSerialCodes) {
        why = "too long to draw with its raised and lowered characters";
        return std::nullopt;
    }
    return text;
}

}  // namespace app
