#include "support/eps_reader.h"

#include <cmath>
#include <sstream>

namespace testing_support {

namespace {
PageXY page_of(float px, float py) { return {py / 1000.0f, 8.0f - px / 1000.0f}; }
}  // namespace

EpsPicture read_eps(const std::string& eps_text) {
    EpsPicture pic;
    std::istringstream in(eps_text);
    std::string line;
    float r = 0, g = 0, b = 0;
    PageXY pen{0, 0};
    Fill* fill = nullptr;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string x; words >> x;) w.push_back(x);
        if (w.empty()) continue;
        const std::string& last = w.back();
        if (last == "setrgbcolor" && w.size() == 4) {
            r = std::stof(w[0]);
            g = std::stof(w[1]);
            b = std::stof(w[2]);
        } else if ((last == "M" || last == "D") && w.size() == 3) {
            PageXY p = page_of(std::stof(w[0]), std::stof(w[1]));
            if (last == "D") pic.segments.push_back({pen, p, r, g, b});
            pen = p;
        } else if (last == "setbbox") {
            pic.fills.push_back({{}, r, g, b});
            fill = &pic.fills.back();
        } else if ((last == "moveto" || last == "lineto") && w.size() == 3 && fill) {
            fill->points.push_back(page_of(std::stof(w[0]), std::stof(w[1])));
        } else if (last == "ufill") {
            fill = nullptr;
        }
    }
    return pic;
}

int count_segments(const EpsPicture& p, float x1, float y1, float x2, float y2, float tol) {
    auto near = [tol](PageXY a, float x, float y) { return std::fabs(a.x - x) <= tol && std::fabs(a.y - y) <= tol; };
    int n = 0;
    for (const auto& s : p.segments)
        if ((near(s.from, x1, y1) && near(s.to, x2, y2)) || (near(s.from, x2, y2) && near(s.to, x1, y1))) ++n;
    return n;
}

}  // namespace testing_support
