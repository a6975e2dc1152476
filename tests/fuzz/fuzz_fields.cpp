// Fixed-column and free-format reading of any bytes: a field either gives a
// number or fails, and nothing reads outside the line.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "miscli/fixed_read.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Copied so that reading one byte past the end is caught.
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string_view all(text);

    miscli::FixedReader r(all);
    for (int i = 0; i < 8; ++i) {
        r.i(3);
        float v = r.f(9, 3);
        if (r.ok() && !std::isfinite(v)) __builtin_trap();
        r.a(2);
        r.x(1);
    }
    for (int d = 0; d <= 6; ++d) {
        auto v = miscli::parse_real_field(all.substr(0, 12), d);
        if (v && !std::isfinite(*v)) __builtin_trap();
    }
    miscli::parse_int_field(all.substr(0, 10));

    std::size_t pos = 0;
    auto next = [&]() -> std::optional<std::string_view> {
        if (pos >= all.size()) return std::nullopt;
        std::size_t end = all.find('\n', pos);
        if (end == std::string_view::npos) end = all.size();
        auto line = all.substr(pos, end - pos);
        pos = end + 1;
        return line;
    };
    for (int round = 0; round < 4; ++round) {
        miscli::ListReader list(next);
        float f;
        int n;
        if (!(list.real(f) && list.integer(n) && list.real(f))) break;
    }
    float v[2];
    int found = 0;
    miscli::read_reals(all, v, 2, found);
    if (found < 0 || found > 2) __builtin_trap();
    return 0;
}
