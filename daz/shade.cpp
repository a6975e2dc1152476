#include "daz/shade.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "daz/plot_device.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"
#include "screen/screen.h"

namespace daz {

ScaleColour scale_colour(float value, float low, float high) {
    // An empty range has no direction: every value sits in the middle.
    float f = high != low ? (value - low) / (high - low) : 0.5f;
    if (!(f > 0.0f)) f = 0.0f;
    if (f > 1.0f) f = 1.0f;
    if (f < 0.1f) return {0.0f, 0.0f, 0.65f + 3.5f * f};
    if (f < 0.3f) return {0.0f, 5.0f * (f - 0.1f), 1.0f};
    if (f < 0.5f) return {0.0f, 1.0f, 1.0f - 5.0f * (f - 0.3f)};
    if (f < 0.7f) return {5.0f * (f - 0.5f), 1.0f, 0.0f};
    if (f < 0.9f) return {1.0f, 1.0f - 5.0f * (f - 0.7f), 0.0f};
    return {1.0f - 3.0f * (f - 0.9f), 0.0f, 0.0f};
}

void palette_(float value, float low, float high) {
    ScaleColour c = scale_colour(value, low, high);
    rgbcolor_(c.red, c.green, c.blue);
}

FilePoint sheet_point(float x, float y) {
    const FilePoint q = file_point(device_page(x, y));
    return {std::clamp<std::int32_t>(q.x, 0, 8000), std::clamp<std::int32_t>(q.y, 0, 10000)};
}

void shade_(std::span<const float> x, std::span<const float> y, int n) {
    if (n > MXPQ) {
        plclosnow_();
        miscli::stop((miscli::ListLine() << "Increase MXPQ of SHADE " << n).str());
    }
    n = std::max(n, 0);
    std::array<float, MXPQ> xp, yp;  // not cleared: only n are used
    for (int i = 0; i < n; ++i) {
        PagePoint p = device_page(x[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(i)]);
        xp[static_cast<std::size_t>(i)] = p.x;
        yp[static_cast<std::size_t>(i)] = p.y;
    }
    if (devcom.device_code != 'H') {
        screen::igrpolygoncomplex_(std::span<const float>(xp.data(), static_cast<std::size_t>(n)),
                                   std::span<const float>(yp.data(), static_cast<std::size_t>(n)), n);
        return;
    }
    if (!hardcopy_open()) return;
    // Kept on the sheet declared by setbbox. Most polygons are a section's
    // cells of four corners: they stay in a small array, as clearing room
    // for the largest polygon on every cell would cost more than the cell.
    std::array<FilePoint, 8> few;
    std::vector<FilePoint> many;
    std::span<FilePoint> sheet(few);
    if (static_cast<std::size_t>(n) > few.size()) {
        many.resize(static_cast<std::size_t>(n));
        sheet = many;
    }
    sheet = sheet.first(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < sheet.size(); ++i) sheet[i] = sheet_point(x[i], y[i]);
    if (hardcopy_is_page()) {
        page_fill(sheet);
        return;
    }
    // The polygon's lines are made in one piece: a section has a polygon
    // for every cell.
    constexpr std::string_view kOpen = kEpsFillOpen, kClose = kEpsFillClose;
    constexpr std::size_t kVertexRoom = 32;
    std::array<char, 8 * kVertexRoom + kOpen.size() + kClose.size()> small;
    std::vector<char> large;
    char* text = small.data();
    if (sheet.size() > 8) {
        large.resize(sheet.size() * kVertexRoom + kOpen.size() + kClose.size());
        text = large.data();
    }
    char* end = std::copy(kOpen.begin(), kOpen.end(), text);
    for (std::size_t i = 0; i < sheet.size(); ++i) {
        int width = 0;
        end = put_file_number(end, sheet[i].x, 0, width);
        end = put_file_number(end, sheet[i].y, 1, width);
        end = std::copy_n(i == 0 ? " moveto\n" : " lineto\n", 8, end);
    }
    end = std::copy(kClose.begin(), kClose.end(), end);
    hardcopy_lines(std::string_view(text, static_cast<std::size_t>(end - text)));
}

void shaderect_(float x1, float y1, float x2, float y2) {
    const std::array<float, 4> x{x1, x1, x2, x2}, y{y1, y2, y2, y1};
    shade_(x, y, 4);
}

}  // namespace daz
