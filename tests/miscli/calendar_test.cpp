#include "miscli/calendar.h"

#include <gtest/gtest.h>

TEST(Calendar, DayNumbersAndIsoTexts) {
    // Every day of four centuries goes to its date and back.
    for (long long d = -146097; d <= 146097; ++d) {
        const miscli::CivilDate c = miscli::civil_from_days(d);
        ASSERT_EQ(miscli::days_from_civil(c.year, c.month, c.day), d);
    }
    EXPECT_EQ(miscli::days_from_civil(1970, 1, 1), 0);
    EXPECT_EQ(miscli::year_of(-1.0), 1969);
    // Day of the year 160.5 of 2019 is 9 June, noon; days past the year's
    // end go on counting into the next.
    const double june = miscli::epoch_days(2019, 160.5);
    EXPECT_EQ(miscli::iso_date(june), "2019-06-09");
    EXPECT_EQ(miscli::iso_hour_minute(june), "12:00");
    EXPECT_EQ(miscli::iso_date(miscli::epoch_days(2019, 366.0)), "2020-01-01");
    EXPECT_EQ(miscli::iso_month(june), "2019-06");
    EXPECT_EQ(miscli::iso_year(june), "2019");
    // A time a tenth of a second before midnight is shown as the next day.
    const double late = static_cast<double>(miscli::days_from_civil(2024, 2, 29)) + 1.0 - 0.1 / 86400.0;
    EXPECT_EQ(miscli::iso_date(late), "2024-03-01");
    EXPECT_EQ(miscli::iso_hour_minute(late), "00:00");
}
