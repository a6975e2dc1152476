#include "miscli/text_field.h"

#include <cctype>

namespace miscli {

std::string field(std::string_view text, std::size_t n) {
    std::string out(text.substr(0, n));
    out.resize(n, ' ');
    return out;
}

std::string_view trim_right(std::string_view text) {
    auto end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::string lower_case(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace miscli
