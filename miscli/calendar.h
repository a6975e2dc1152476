#pragma once
// The Gregorian calendar in UTC: day numbers since 1970-01-01 and back, and
// the ISO texts of dates and times.
#include <string>

namespace miscli {

struct CivilDate {
    long long year;
    int month;  // 1..12
    int day;    // 1..31
};

// Days since 1970-01-01 of a Gregorian date.
long long days_from_civil(long long year, int month, int day);
// The date of a day number since 1970-01-01.
CivilDate civil_from_days(long long days);
// The year of a time in seconds since 1970-01-01.
long long year_of(double seconds);

// Days since 1970-01-01 (with the fraction of the day) of a day of the year,
// 1.0 at the start of 1 January; days past the year's end go on counting.
double epoch_days(long long year, double day_of_year);

// "2024-05-03", "2024-05" and "2024" of a time in days since 1970-01-01,
// and "14:30" of its time of day.
std::string iso_date(double days);
std::string iso_month(double days);
std::string iso_year(double days);
std::string iso_hour_minute(double days);
// "2024-05-03T14:30:07Z" of a time in days since 1970-01-01, to the
// nearest second; empty for NaN.
std::string iso_date_time(double days);

}  // namespace miscli
