#include "daz/line_chains.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace daz {

namespace {

std::uint64_t key(FilePoint p) {
    return (std::uint64_t{static_cast<std::uint32_t>(p.x)} << 32) | static_cast<std::uint32_t>(p.y);
}

bool same(FilePoint a, FilePoint b) { return a.x == b.x && a.y == b.y; }

// Squared distance of p from the segment a-b [file units squared].
double distance2(FilePoint p, FilePoint a, FilePoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y, px = p.x - a.x, py = p.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double u = length2 > 0.0 ? std::clamp((px * dx + py * dy) / length2, 0.0, 1.0) : 0.0;
    const double ex = px - u * dx, ey = py - u * dy;
    return ex * ex + ey * ey;
}

// Marks the points of line[first..last] that stay when those within
// `tolerance` of the chords between kept points go (Douglas-Peucker).
void mark_kept(const std::vector<FilePoint>& line, std::size_t first, std::size_t last, double tolerance,
               std::vector<char>& kept) {
    std::vector<std::pair<std::size_t, std::size_t>> spans{{first, last}};
    while (!spans.empty()) {
        const auto [a, b] = spans.back();
        spans.pop_back();
        double farthest = tolerance * tolerance;
        std::size_t at = a;
        for (std::size_t i = a + 1; i < b; ++i)
            if (const double d = distance2(line[i], line[a], line[b]); d > farthest) {
                farthest = d;
                at = i;
            }
        if (at == a) continue;
        kept[at] = 1;
        spans.push_back({a, at});
        spans.push_back({at, b});
    }
}

std::vector<FilePoint> thinned(const std::vector<FilePoint>& line, double tolerance) {
    // Thinned a stretch at a time, so that a long jagged line costs its
    // length times the stretch, not its length squared.
    constexpr std::size_t kStretch = 256;
    std::vector<char> kept(line.size(), 0);
    kept.front() = kept.back() = 1;
    for (std::size_t first = 0; first + 1 < line.size(); first += kStretch) {
        const std::size_t last = std::min(first + kStretch, line.size() - 1);
        kept[last] = 1;
        mark_kept(line, first, last, tolerance, kept);
    }
    std::vector<FilePoint> out;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (kept[i]) out.push_back(line[i]);
    return out;
}

}  // namespace

void LineChains::add(FilePoint from, FilePoint to) {
    // A segment of no length draws nothing with butt caps.
    if (!same(from, to)) segments_.push_back({from, to});
}

std::vector<std::vector<FilePoint>> LineChains::take(double tolerance) {
    const std::vector<Segment> segments = std::move(segments_);
    segments_.clear();
    // Each segment's two ends, by point: (point, 2 * segment + end).
    std::vector<std::pair<std::uint64_t, std::uint32_t>> ends;
    ends.reserve(2 * segments.size());
    for (std::uint32_t i = 0; i < segments.size(); ++i) {
        ends.push_back({key(segments[i].from), 2 * i});
        ends.push_back({key(segments[i].to), 2 * i + 1});
    }
    std::sort(ends.begin(), ends.end());
    std::vector<char> used(segments.size(), 0);
    // The point at the far end of a segment not yet used that ends at p,
    // marking it used; false when there is none.
    const auto step_from = [&](FilePoint p, FilePoint& next) {
        const std::uint64_t k = key(p);
        auto it = std::lower_bound(ends.begin(), ends.end(), std::pair<std::uint64_t, std::uint32_t>{k, 0});
        for (; it != ends.end() && it->first == k; ++it) {
            const std::uint32_t i = it->second / 2;
            if (used[i]) continue;
            used[i] = 1;
            next = it->second % 2 == 0 ? segments[i].to : segments[i].from;
            return true;
        }
        return false;
    };

    std::vector<std::vector<FilePoint>> lines;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (used[i]) continue;
        used[i] = 1;
        std::vector<FilePoint> before, line{segments[i].from, segments[i].to};
        for (FilePoint next; step_from(line.back(), next);) line.push_back(next);
        for (FilePoint p = segments[i].from, next; step_from(p, next); p = next) before.push_back(next);
        line.insert(line.begin(), before.rbegin(), before.rend());
        lines.push_back(thinned(line, tolerance));
    }
    return lines;
}

}  // namespace daz
