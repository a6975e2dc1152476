// The automatic contour labels: the heavy lines joined from their cells,
// places along them, and the lines drawn with gaps under the labels.
#include "section/auto_labels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "daz/plot_device.h"
#include "daz/stroke_text.h"

namespace section {

using daz::PagePoint;

namespace {

constexpr float kHeight = 0.1f;       // text height, as the hand labels
constexpr float kMargin = 0.02f;      // the gap in the line around the text
constexpr float kSpacing = 2.75f;     // inches of line for each label
constexpr float kGrain = 0.25f;       // wiggles of a line smaller than this do not count in its length
constexpr float kStep = 0.08f;        // how far along the line the next place is
constexpr float kLabelGap = 0.15f;    // free page between two labels
constexpr float kSameApart = 1.5f;    // between the centres of two labels of one value, at least
constexpr float kTail = 0.1f;         // line looked at beyond the gap at both sides
constexpr float kStraight = 0.8f;     // the way straight across that stretch over its length, at least
constexpr std::size_t kSamples = 32;  // columns or levels looked at under one label, at most
constexpr int kOverMissing = std::numeric_limits<int>::max();  // a box over missing nodes

float distance(PagePoint a, PagePoint b) { return std::hypot(b.x - a.x, b.y - a.y); }

PagePoint centre(const PageBox& b) { return {0.5f * (b.x0 + b.x1), 0.5f * (b.y0 + b.y1)}; }

bool inside(const PageBox& b, PagePoint p) { return p.x >= b.x0 && p.x <= b.x1 && p.y >= b.y0 && p.y <= b.y1; }

bool apart(const PageBox& a, const PageBox& b, float gap) {
    return a.x1 + gap < b.x0 || b.x1 + gap < a.x0 || a.y1 + gap < b.y0 || b.y1 + gap < a.y0;
}

// The part t0..t1 (0..1 from a to b) of a segment that lies inside the box.
bool part_inside(PagePoint a, PagePoint b, const PageBox& box, float& t0, float& t1) {
    t0 = 0.0f;
    t1 = 1.0f;
    const auto clip = [&](float p, float q) {
        if (p == 0.0f) return q >= 0.0f;
        const float r = q / p;
        if (p < 0.0f) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    const float dx = b.x - a.x, dy = b.y - a.y;
    return clip(-dx, a.x - box.x0) && clip(dx, box.x1 - a.x) && clip(-dy, a.y - box.y0) && clip(dy, box.y1 - a.y) &&
           t1 > t0;
}

// A level's text and where its visible strokes start and end.
struct LabelText {
    ContourLabel label;
    float lead = 0.0f, width = 0.0f;
};

LabelText text_of(float value) {
    LabelText t;
    std::string text(8, ' ');
    wr_label_(value, text, t.label.length);
    std::copy_n(text.begin(), 8, t.label.text.begin());
    std::array<float, 4> r{};
    daz::justy_(r, kHeight, std::string_view(text.data(), static_cast<std::size_t>(t.label.length)));
    t.lead = r[0];
    t.width = r[2] - r[0];
    return t;
}

// A line with the length along it at each point measured as the eye sees
// it: the wiggles of a noisy section smaller than kGrain left out, so that
// labels are spaced evenly along the line's course.
struct Measured {
    const ContourLine& line;
    std::vector<float> course;  // course[i]: the length from the first point to point i
    float course_length() const { return course.back(); }

    explicit Measured(const ContourLine& l) : line(l), course(l.points.size(), 0.0f) {
        std::vector<float> at(l.points.size(), 0.0f);  // the length of every wiggle
        for (std::size_t i = 1; i < at.size(); ++i) at[i] = at[i - 1] + distance(l.points[i - 1], l.points[i]);
        // Straight from one kept point to the next one kGrain or more away,
        // shared out over the points between them by their length.
        std::size_t kept = 0;
        for (std::size_t i = 1; i < at.size(); ++i) {
            const float d = distance(l.points[kept], l.points[i]);
            if (d < kGrain && i + 1 < at.size()) continue;
            const float span = at[i] - at[kept];
            for (std::size_t t = kept + 1; t <= i; ++t)
                course[t] = course[kept] + (span > 0.0f ? d * (at[t] - at[kept]) / span : 0.0f);
            kept = i;
        }
    }
    // The point at course length c.
    PagePoint point_at(float c) const {
        const auto it = std::upper_bound(course.begin(), course.end(), c);
        const int last = static_cast<int>(course.size()) - 2;
        const auto i = static_cast<std::size_t>(std::clamp(static_cast<int>(it - course.begin()) - 1, 0, last));
        const float d = course[i + 1] - course[i];
        const float f = d > 0.0f ? std::clamp((c - course[i]) / d, 0.0f, 1.0f) : 0.0f;
        const PagePoint a = line.points[i], b = line.points[i + 1];
        return {a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)};
    }
};

// Finds places for the labels of one line after another, each clear of the
// frame's edges and of the labels placed before it.
class Placer {
public:
    Placer(const TracedField& f, std::span<const float> levels, PageBox frame)
        : field_(f), levels_(levels), frame_(frame) {
        for (std::size_t c = 0; c < f.column_x.size(); ++c) columns_.push_back({f.column_x[c], static_cast<int>(c)});
        for (std::size_t k = 0; k < f.level_y.size(); ++k) rows_.push_back({f.level_y[k], static_cast<int>(k) + 1});
        std::sort(columns_.begin(), columns_.end());
        std::sort(rows_.begin(), rows_.end());
    }

    void place(const ContourLine& line, const LabelText& text) {
        if (line.points.size() < 2) return;
        const Measured m(line);
        const float box_width = text.width + 2.0f * kMargin;
        // Long enough to carry the label with line to spare; a ring twice
        // that, so that small rings stay bare.
        const float shortest = std::max(1.0f, 3.0f * box_width) * (line.closed ? 2.0f : 1.0f);
        const float length = m.course_length();
        if (!(length >= shortest)) return;
        const int count = std::max(1, static_cast<int>(length / kSpacing + 0.5f));
        const float spacing = length / static_cast<float>(count);
        const float window = std::min(0.4f * spacing, 1.2f);
        bool placed = false;
        AutoLabel fallback;
        int fallback_crowd = kOverMissing;
        for (int i = 0; i < count; ++i) {
            const float target = (static_cast<float>(i) + 0.5f) * spacing;
            // The target first, then places ever farther on either side.
            for (int tries = 0; static_cast<float>(tries / 2) * kStep <= window; ++tries) {
                if (tries == 1) continue;  // +0 and -0 are one place
                const float off = static_cast<float>(tries / 2) * kStep * (tries % 2 == 0 ? 1.0f : -1.0f);
                float c = target + off;
                if (line.closed) c = std::fmod(c + length, length);
                if (c < 0.0f || c > length) continue;
                AutoLabel label;
                if (!fits(m, c, text, label)) continue;
                const int crowd = levels_through(label.box);
                if (crowd == kOverMissing) continue;
                if (crowd <= 1) {
                    labels.push_back(label);
                    placed = true;
                    break;
                }
                if (crowd < fallback_crowd) {
                    fallback = label;
                    fallback_crowd = crowd;
                }
            }
        }
        // A line crowded by others everywhere still gets one label, where
        // the fewest other lines are broken by it.
        if (!placed && fallback_crowd < kOverMissing) labels.push_back(fallback);
    }

    std::vector<AutoLabel> labels;

private:
    // Whether the label centred on the line at course length c lies inside
    // the frame, clear of the other labels, where the line runs on beyond
    // it both ways and nearly straight (seen at the scale of the label).
    bool fits(const Measured& m, float c, const LabelText& text, AutoLabel& out) const {
        const PagePoint p = m.point_at(c);
        const float half_w = 0.5f * text.width + kMargin, half_h = 0.5f * kHeight + kMargin;
        const PageBox box{p.x - half_w, p.y - half_h, p.x + half_w, p.y + half_h};
        if (box.x0 < frame_.x0 || box.x1 > frame_.x1 || box.y0 < frame_.y0 || box.y1 > frame_.y1) return false;
        for (const AutoLabel& l : labels) {
            if (!apart(l.box, box, kLabelGap)) return false;
            // One value twice close together, as on the pieces of a line
            // that spikes out of the frame, reads as crowding.
            if (l.label.length == text.label.length && l.label.text == text.label.text &&
                distance(centre(l.box), p) < kSameApart)
                return false;
        }
        // The line a little beyond the box on either side: outside it, and
        // about as far apart as measured along the line.
        const float reach = half_w + half_h + kTail, length = m.course_length();
        float behind = c - reach, ahead = c + reach;
        if (m.line.closed) {
            if (2.0f * reach > 0.5f * length) return false;
            behind = std::fmod(behind + length, length);
            ahead = std::fmod(ahead, length);
        } else if (behind < 0.0f || ahead > length) {
            return false;
        }
        const PagePoint a = m.point_at(behind), b = m.point_at(ahead);
        if (inside(box, a) || inside(box, b) || distance(a, b) < kStraight * 2.0f * reach) return false;
        // Once out of the box the line stays out for a while: a spike
        // back into the gap would leave stubs at its edge.
        if (!leaves_once(m, c, box, 2.0f * reach, +1) || !leaves_once(m, c, box, 2.0f * reach, -1)) return false;
        out.box = box;
        out.label = text.label;
        out.label.x = p.x - text.lead - 0.5f * text.width;
        out.label.y = p.y - 0.5f * kHeight;
        return true;
    }

    // Whether the points of the line from course length c on (dir +1) or
    // back (-1), as far as `reach`, leave the box at most once.
    static bool leaves_once(const Measured& m, float c, const PageBox& box, float reach, int dir) {
        const auto& course = m.course;
        const int n = static_cast<int>(course.size());
        const float length = m.course_length();
        int i = static_cast<int>((dir > 0 ? std::upper_bound(course.begin(), course.end(), c)
                                          : std::lower_bound(course.begin(), course.end(), c)) -
                                 course.begin());
        if (dir < 0) --i;
        float offset = 0.0f;
        bool in = true;
        int changes = 0;
        for (int steps = 0; steps < n; ++steps, i += dir) {
            // A closed line goes round: its last point is its first.
            if (i >= n || i < 0) {
                if (!m.line.closed || n < 3) break;
                i = dir > 0 ? 1 : n - 2;
                offset += dir > 0 ? length : -length;
            }
            const float at = course[static_cast<std::size_t>(i)] + offset;
            if (dir > 0 ? at > c + reach : at < c - reach) break;
            const bool now = inside(box, m.line.points[static_cast<std::size_t>(i)]);
            if (now != in && ++changes > 1) return false;
            in = now;
        }
        return true;
    }

    // How many contour levels pass through the box: those between the
    // least and the greatest node around it, leaving out the tenth of the
    // nodes at either end (a noisy field's specks are no lines to keep
    // clear of). A wide box is looked at in at most kSamples columns.
    // kOverMissing when a node there is missing.
    int levels_through(const PageBox& box) const {
        const auto span = [](const std::vector<std::pair<float, int>>& v, float lo, float hi) {
            auto a = static_cast<std::size_t>(
                std::lower_bound(v.begin(), v.end(), std::pair{lo, std::numeric_limits<int>::min()}) - v.begin());
            auto e = static_cast<std::size_t>(
                std::upper_bound(v.begin(), v.end(), std::pair{hi, std::numeric_limits<int>::max()}) - v.begin());
            // One node more on each side: a line between two nodes outside
            // the box can still cross it.
            if (a > 0) --a;
            if (e < v.size()) ++e;
            return std::pair{a, e};
        };
        const auto [c0, c1] = span(columns_, box.x0, box.x1);
        const auto [r0, r1] = span(rows_, box.y0, box.y1);
        const std::size_t c_step = std::max<std::size_t>(1, (c1 - c0) / kSamples);
        const std::size_t r_step = std::max<std::size_t>(1, (r1 - r0) / kSamples);
        values_.clear();
        for (std::size_t c = c0; c < c1; c += c_step) {
            const int j = field_.first + columns_[c].second;
            for (std::size_t r = r0; r < r1; r += r_step) {
                const float v = field_.grid(rows_[r].second, j);
                // No label over missing cells, which may be black.
                if (!(v >= data::MISSING_BELOW)) return kOverMissing;
                values_.push_back(v);
            }
        }
        if (values_.empty()) return 0;
        const std::size_t cut = (values_.size() - 1) / 10;
        std::nth_element(values_.begin(), values_.begin() + static_cast<std::ptrdiff_t>(cut), values_.end());
        const float lo = values_[cut];
        const auto top = values_.begin() + static_cast<std::ptrdiff_t>(values_.size() - 1 - cut);
        std::nth_element(values_.begin(), top, values_.end());
        const float hi = *top;
        return static_cast<int>(std::upper_bound(levels_.begin(), levels_.end(), hi) -
                                std::lower_bound(levels_.begin(), levels_.end(), lo));
    }

    const TracedField& field_;
    std::span<const float> levels_;
    PageBox frame_;
    std::vector<std::pair<float, int>> columns_;  // page x and column, by x
    std::vector<std::pair<float, int>> rows_;     // page y and level, by y
    mutable std::vector<float> values_;           // the nodes around a box
};

}  // namespace

LineJoiner::LineJoiner(int n_levels) {
    right_[0].assign(static_cast<std::size_t>(std::max(n_levels, 0) + 1), Slot{});
    right_[1] = right_[0];
}

void LineJoiner::cell(int j, int k, const CellCrossings& c) {
    if (c.n == 2) {
        add(j, k, c, 0, 1);
    } else if (c.n == 3) {
        // One edge has a missing node: which two belong together is
        // anybody's guess.
        add(j, k, c, 0, 1);
    } else if (c.n == 4) {
        add(j, k, c, 0, 1);
        add(j, k, c, 2, 3);
    }
}

void LineJoiner::add(int j, int k, const CellCrossings& c, int a, int b) {
    const int p = static_cast<int>(pieces_.size());
    pieces_.push_back({{c.at[static_cast<std::size_t>(a)], c.at[static_cast<std::size_t>(b)]}, {-1, -1}});
    meet(j, k, c.side[static_cast<std::size_t>(a)], 2 * p);
    meet(j, k, c.side[static_cast<std::size_t>(b)], 2 * p + 1);
}

// An end on the upper edge meets the lower edge of the cell above, one on
// the left edge the right edge of the cell before, both seen earlier.
void LineJoiner::meet(int j, int k, Side side, int end) {
    const auto row = static_cast<std::size_t>(k);
    switch (side) {
        case Side::Upper:
            if (lower_.j == j && lower_.k == k - 1) link(end, lower_.end);
            break;
        case Side::Lower:
            lower_ = {j, k, end};
            break;
        case Side::Left:
            if (row < right_[0].size()) {
                const Slot& s = right_[static_cast<std::size_t>((j - 1) & 1)][row];
                if (s.j == j - 1) link(end, s.end);
            }
            break;
        case Side::Right:
            if (row < right_[0].size()) right_[static_cast<std::size_t>(j & 1)][row] = {j, k, end};
            break;
    }
}

void LineJoiner::link(int a, int b) {
    auto& pa = pieces_[static_cast<std::size_t>(a / 2)].link[static_cast<std::size_t>(a % 2)];
    auto& pb = pieces_[static_cast<std::size_t>(b / 2)].link[static_cast<std::size_t>(b % 2)];
    if (a / 2 == b / 2 || pa >= 0 || pb >= 0) return;
    pa = b;
    pb = a;
}

std::vector<ContourLine> LineJoiner::lines() const {
    std::vector<ContourLine> out;
    const int n = static_cast<int>(pieces_.size());
    std::vector<char> seen(static_cast<std::size_t>(n), 0);
    const auto link_of = [&](int piece, int end) {
        return pieces_[static_cast<std::size_t>(piece)].link[static_cast<std::size_t>(end)];
    };
    for (int s = 0; s < n; ++s) {
        if (seen[static_cast<std::size_t>(s)]) continue;
        // Back to the free end where the line starts, or round to s.
        int first = s, entry = 0;
        bool closed = false;
        for (int steps = 0; steps < n; ++steps) {
            const int r = link_of(first, entry);
            if (r < 0) break;
            if (r / 2 == s) {
                closed = true;
                first = s;
                entry = 0;
                break;
            }
            first = r / 2;
            entry = 1 - r % 2;
        }
        ContourLine line;
        line.closed = closed;
        line.points.push_back(pieces_[static_cast<std::size_t>(first)].end[static_cast<std::size_t>(entry)]);
        for (int p = first, exit = 1 - entry;;) {
            seen[static_cast<std::size_t>(p)] = 1;
            line.points.push_back(pieces_[static_cast<std::size_t>(p)].end[static_cast<std::size_t>(exit)]);
            const int r = link_of(p, exit);
            if (r < 0 || seen[static_cast<std::size_t>(r / 2)]) break;
            p = r / 2;
            exit = 1 - r % 2;
        }
        out.push_back(std::move(line));
    }
    return out;
}

std::vector<AutoLabel> place_auto_labels(const TracedField& field, const ContourLevels& levels, PageBox frame,
                                         const LevelCells* cells) {
    struct Found {
        ContourLine line;
        float length;
        int q;
    };
    std::vector<Found> found;
    for (int q = 1; q <= levels.n; ++q) {
        if (!heavy_level(levels, q)) continue;
        LineJoiner joiner(static_cast<int>(field.level_y.size()));
        const float w = levels.w[static_cast<std::size_t>(q - 1)];
        const auto join = [&](int j, int k, const CellCrossings& c) { joiner.cell(j, k, c); };
        if (cells && !cells->empty()) cells->trace<AtLevel::Above>(field, q, w, join);
        else trace_level<AtLevel::Above>(field, w, join);
        for (ContourLine& line : joiner.lines()) {
            float length = 0.0f;
            for (std::size_t i = 1; i < line.points.size(); ++i) length += distance(line.points[i - 1], line.points[i]);
            if (length >= 1.0f) found.push_back({std::move(line), length, q});
        }
    }
    // The longest lines choose their places first.
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.length > b.length; });
    Placer placer(field, std::span<const float>(levels.w.data(), static_cast<std::size_t>(levels.n)), frame);
    std::vector<LabelText> texts(static_cast<std::size_t>(levels.n));
    std::vector<char> measured(static_cast<std::size_t>(levels.n), 0);
    for (const Found& f : found) {
        const auto q = static_cast<std::size_t>(f.q - 1);
        if (!measured[q]) {
            texts[q] = text_of(levels.w[q]);
            measured[q] = 1;
        }
        placer.place(f.line, texts[q]);
    }
    return std::move(placer.labels);
}

BrokenLines::BrokenLines(std::span<const AutoLabel> labels, std::span<const float> column_x) : labels_(labels) {
    const std::size_t n = column_x.size();
    start_.assign(std::max<std::size_t>(n, 1), 0);
    for (std::size_t c = 0; c + 1 < n; ++c) {
        const float lo = std::min(column_x[c], column_x[c + 1]), hi = std::max(column_x[c], column_x[c + 1]);
        for (std::size_t i = 0; i < labels.size(); ++i)
            if (labels[i].box.x1 >= lo && labels[i].box.x0 <= hi) boxes_.push_back(static_cast<int>(i));
        start_[c + 1] = static_cast<int>(boxes_.size());
    }
}

void BrokenLines::cell(int column, const CellCrossings& c) const {
    const auto pen = [](PagePoint p, int code) { daz::ploti_(p.x, p.y, code); };
    const auto col = static_cast<std::size_t>(column);
    const int b0 = col + 1 < start_.size() ? start_[col] : 0;
    const int b1 = col + 1 < start_.size() ? start_[col + 1] : 0;
    if (b0 == b1) {
        for (int i = 0; i < c.n; ++i) pen(c.at[static_cast<std::size_t>(i)], i == 0 ? 3 : 2);
        return;
    }
    bool at_start = false;  // the pen stands at the start of the next segment, down
    std::vector<std::pair<float, float>> hidden;
    for (int i = 1; i < c.n; ++i) {
        const PagePoint a = c.at[static_cast<std::size_t>(i - 1)], b = c.at[static_cast<std::size_t>(i)];
        hidden.clear();
        for (int q = b0; q < b1; ++q) {
            float t0 = 0.0f, t1 = 0.0f;
            if (part_inside(a, b, labels_[static_cast<std::size_t>(boxes_[static_cast<std::size_t>(q)])].box, t0, t1))
                hidden.push_back({t0, t1});
        }
        std::sort(hidden.begin(), hidden.end());
        const auto at = [&](float t) { return PagePoint{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}; };
        float from = 0.0f;
        bool reached_end = false;
        const auto visible = [&](float u, float v) {
            if (!(v > u)) return;
            if (!(at_start && u == 0.0f)) pen(u == 0.0f ? a : at(u), 3);
            pen(v == 1.0f ? b : at(v), 2);
            reached_end = v == 1.0f;
        };
        for (const auto& [h0, h1] : hidden) {
            visible(from, h0);
            from = std::max(from, h1);
        }
        visible(from, 1.0f);
        at_start = reached_end;
    }
}

}  // namespace section
