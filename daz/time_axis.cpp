#include "daz/time_axis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/calendar.h"

namespace daz {

namespace {

constexpr float kTick = 0.06f, kHeight = 0.1f;

// A tick step: a number of hours, days, months or years.
enum class Unit { Hour, Day, Month, Year };
struct Step {
    Unit unit;
    int count;
};

constexpr Step kSteps[] = {
    {Unit::Hour, 1},  {Unit::Hour, 2},  {Unit::Hour, 3},   {Unit::Hour, 6},  {Unit::Hour, 12},
    {Unit::Day, 1},   {Unit::Day, 2},   {Unit::Day, 5},    {Unit::Day, 10},  {Unit::Month, 1},
    {Unit::Month, 2}, {Unit::Month, 3}, {Unit::Month, 6},  {Unit::Year, 1},  {Unit::Year, 2},
    {Unit::Year, 5},  {Unit::Year, 10}, {Unit::Year, 100},
};

double step_days(Step s) {
    switch (s.unit) {
    case Unit::Hour: return s.count / 24.0;
    case Unit::Day: return s.count;
    case Unit::Month: return s.count * 30.44;
    case Unit::Year: return s.count * 365.25;
    }
    return 1.0;
}

// The tick times of the step from lo to hi, on whole multiples of it
// (hours of the day, days of the month from the 1st, months of the year).
template <typename Each>
void each_tick(Step s, double lo, double hi, Each each) {
    if (s.unit == Unit::Hour || s.unit == Unit::Day) {
        const double step = step_days(s);
        if (s.unit == Unit::Day && s.count > 1) {
            // Days of each month from the 1st, every count days, leaving out a
            // last one that would stand closer than a step to the next 1st.
            for (long long day = static_cast<long long>(std::ceil(lo)); day <= static_cast<long long>(std::floor(hi));
                 ++day) {
                const int dom = miscli::civil_from_days(day).day;
                if ((dom - 1) % s.count == 0 && dom + s.count <= 32) each(static_cast<double>(day));
            }
            return;
        }
        for (double t = std::ceil(lo / step - 1e-9) * step; t <= hi + 1e-9; t += step) each(t);
        return;
    }
    const miscli::CivilDate first = miscli::civil_from_days(static_cast<long long>(std::floor(lo)));
    const int months = s.unit == Unit::Month ? s.count : 12 * s.count;
    long long index = first.year * 12 + (first.month - 1);
    index -= index % months;
    for (;; index += months) {
        const double t = static_cast<double>(miscli::days_from_civil(index / 12, static_cast<int>(index % 12) + 1, 1));
        if (t > hi + 1e-9) break;
        if (t >= lo - 1e-9) each(t);
    }
}

std::string label_of(Step s, double t) {
    switch (s.unit) {
    case Unit::Hour: return miscli::iso_hour_minute(t);
    case Unit::Day: return miscli::iso_date(t);
    case Unit::Month: return miscli::iso_month(t);
    case Unit::Year: return miscli::iso_year(t);
    }
    return {};
}

float width_of(std::string_view text) {
    std::array<float, 4> r{};
    justy_(r, kHeight, text);
    return r[2] - r[0];
}

// The text centred under page x, `below` inches under the axis at y.
void centred(float x, float y, float below, std::string_view text) {
    std::array<float, 4> r{};
    justy_(r, kHeight, text);
    letter_(x - r[1], y - below, kHeight, 0.0f, text);
}

}  // namespace

void time_ax_(double t1, double t2, std::string_view title, float x1, float y, float x2, bool labelled) {
    ploti_(x1, y, 3);
    ploti_(x2, y, 2);
    const double lo = std::min(t1, t2), hi = std::max(t1, t2);
    const float length = std::fabs(x2 - x1);
    const bool spans = std::isfinite(lo) && std::isfinite(hi) && hi > lo && length > 0.0f && hi - lo < 1e6;
    // Labels and title stand where the value axes put theirs.
    std::string full_title(title);
    if (spans) {
        // The finest step whose labels stand apart; hour steps are labelled
        // with the date at midnight, so they leave room for dates.
        const Step* chosen = &kSteps[std::size(kSteps) - 1];
        for (const Step& s : kSteps) {
            const float label = width_of(s.unit == Unit::Hour ? miscli::iso_date(lo) : label_of(s, lo)) + 0.3f;
            if (static_cast<double>(length) * step_days(s) / (hi - lo) >= label) {
                chosen = &s;
                break;
            }
        }
        const auto page_x = [&](double t) { return x1 + static_cast<float>((t - t1) / (t2 - t1)) * (x2 - x1); };
        each_tick(*chosen, lo, hi, [&](double t) {
            const float x = page_x(t);
            ploti_(x, y + kTick, 3);
            ploti_(x, y - kTick, 2);
            if (!labelled) return;
            std::string text = label_of(*chosen, t);
            if (chosen->unit == Unit::Hour && text == "00:00") text = miscli::iso_date(t);
            centred(x, y, kTick + 0.04f + kHeight, text);
        });
        // Hours alone do not say the day: the title does.
        if (chosen->unit == Unit::Hour && !full_title.empty()) full_title += " from " + miscli::iso_date(lo);
    }
    if (labelled && !full_title.empty()) centred(0.5f * (x1 + x2), y, 0.35f, full_title);
}

}  // namespace daz
