#include "miscli/calendar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace miscli {

long long days_from_civil(long long y, int m, int d) {
    // Gregorian calendar, counted in 400-year eras from 0000-03-01.
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civil_from_days(long long days) {
    const long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

long long year_of(double seconds) {
    // Far beyond any mission either way (some 300 million years), so the
    // day count stays a whole number that fits.
    constexpr double kMost = 1e16;
    seconds = std::clamp(seconds, -kMost, kMost);
    return civil_from_days(static_cast<long long>(std::floor(seconds / 86400.0))).year;
}

double epoch_days(long long year, double day_of_year) {
    return static_cast<double>(days_from_civil(year, 1, 1)) + day_of_year - 1.0;
}

namespace {

// The date of a time, its minute rounded so that 23:59:59.9 is the next day.
struct Moment {
    CivilDate date;
    int hour, minute;
};

Moment moment_of(double days) {
    const double minutes = std::floor(days * 1440.0 + 0.5);
    const long long day = static_cast<long long>(std::floor(minutes / 1440.0));
    const int in_day = static_cast<int>(minutes - static_cast<double>(day) * 1440.0);
    return {civil_from_days(day), in_day / 60, in_day % 60};
}

}  // namespace

std::string iso_date(double days) {
    const CivilDate d = moment_of(days).date;
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d", d.year, d.month, d.day);
    return text;
}

std::string iso_month(double days) {
    const CivilDate d = moment_of(days).date;
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02d", d.year, d.month);
    return text;
}

std::string iso_year(double days) {
    char text[32];
    std::snprintf(text, sizeof text, "%04lld", moment_of(days).date.year);
    return text;
}

std::string iso_hour_minute(double days) {
    const Moment m = moment_of(days);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", m.hour, m.minute);
    return text;
}

std::string iso_date_time(double days) {
    if (std::isnan(days)) return {};
    // Held within some 300 million years, as year_of, so the second count
    // stays a whole number that fits.
    const double seconds = std::floor(std::clamp(days, -1e11, 1e11) * 86400.0 + 0.5);
    const long long day = static_cast<long long>(std::floor(seconds / 86400.0));
    const long long in_day = static_cast<long long>(seconds) - day * 86400;
    const CivilDate d = civil_from_days(day);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02lld:%02lld:%02lldZ", d.year, d.month, d.day, in_day / 3600,
                  in_day / 60 % 60, in_day % 60);
    return text;
}

}  // namespace miscli
