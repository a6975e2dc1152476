#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <sstream>

#include "miscli/fixed_format.h"
#include "miscli/fixed_read.h"
#include "miscli/text_field.h"

using namespace miscli;

TEST(FixedFormat, IntegersAndOverflow) {
    EXPECT_EQ(fmt_i(42, 5), "   42");
    EXPECT_EQ(fmt_i(-42, 3), "-42");
    EXPECT_EQ(fmt_i(-420, 3), "***");
    EXPECT_EQ(fmt_i0(3, 2, 2), "03");
    EXPECT_EQ(fmt_i0(12, 2, 2), "12");
    // Dive counts widen rather than overflow; what fits keeps its field.
    EXPECT_EQ(fmt_i_wide(120, 4, 1), " 120");
    EXPECT_EQ(fmt_i_wide(5000, 4, 1), " 5000");
    EXPECT_EQ(fmt_i_wide(147, 3), "147");
    EXPECT_EQ(fmt_i_wide(1010, 3), "1010");
    EXPECT_EQ(fmt_f_wide(500.0, 7, 1), "  500.0");
    EXPECT_EQ(fmt_f_wide(1234567.0, 7, 1), " 1234567.0");
    EXPECT_EQ(fmt_f_wide(1.0 / 0.0, 7, 1), "*******");
}

TEST(FixedFormat, RealsRoundDropLeadingZeroAndOverflow) {
    EXPECT_EQ(fmt_f(1.0, 5, 2), " 1.00");
    EXPECT_EQ(fmt_f(0.5, 5, 2), " 0.50");
    EXPECT_EQ(fmt_f(0.5, 3, 2), ".50");
    EXPECT_EQ(fmt_f(-0.5, 4, 2), "-.50");
    EXPECT_EQ(fmt_f(100.25, 6, 1), " 100.3");  // an exact half goes away from zero
    EXPECT_EQ(fmt_f(-2.5, 3, 0), "-3.");
    EXPECT_EQ(fmt_f(123.45f, 6, 1), " 123.4");  // the float lies below the half
    EXPECT_EQ(fmt_f(9.96, 4, 1), "10.0");
    EXPECT_EQ(fmt_f(99.96, 4, 1), "****");
    EXPECT_EQ(fmt_f(2.5, 0, 2), "2.50");
    EXPECT_EQ(fmt_f(-0.04, 5, 1), "  0.0");
    EXPECT_EQ(fmt_f(123456.0, 7, 1), "*******");
    EXPECT_EQ(fmt_f(1.0 / 0.0, 4, 1), "****");
}

TEST(FixedFormat, ListLineSeparatesNumbersOnce) {
    ListLine l;
    l << "RD_SCI: Finish at dive" << 12 << " of" << 120;
    EXPECT_EQ(l.str(), " RD_SCI: Finish at dive 12 of 120");
    ListLine m;
    m << "dive " << 5;
    EXPECT_EQ(m.str(), " dive 5");
}

TEST(FixedRead, ImpliedDecimalsBlanksAndErrors) {
    FixedReader r("12345   1.5  -2 7x");
    EXPECT_FLOAT_EQ(r.f(5, 3), 12.345f);
    EXPECT_FLOAT_EQ(r.f(6, 3), 1.5f);
    EXPECT_EQ(r.i(4), -2);
    EXPECT_TRUE(r.ok());
    r.i(3);  // " 7x"
    EXPECT_FALSE(r.ok());

    FixedReader short_line("  3");
    EXPECT_EQ(short_line.i(3), 3);
    EXPECT_EQ(short_line.i(4), 0);        // past the end: blank
    EXPECT_FLOAT_EQ(short_line.f(8, 3), 0.0f);
    EXPECT_EQ(short_line.a(3), "   ");
    EXPECT_TRUE(short_line.ok());
}

TEST(FixedRead, EmbeddedBlanksExponentsAndJunk) {
    EXPECT_EQ(parse_int_field(" 1 2"), 12);
    EXPECT_FLOAT_EQ(*parse_real_field("1.5E2", 3), 150.0f);
    EXPECT_FLOAT_EQ(*parse_real_field("15E1", 1), 15.0f);   // 1.5 times ten
    EXPECT_FLOAT_EQ(*parse_real_field("1.5-1", 3), 0.15f);
    EXPECT_FLOAT_EQ(*parse_real_field("-.5", 3), -0.5f);
    EXPECT_FALSE(parse_real_field("1.2.3", 3));
    EXPECT_FALSE(parse_real_field("abc", 3));
    EXPECT_FALSE(parse_real_field("-", 3));
    EXPECT_FALSE(parse_real_field("9e99", 3));
    EXPECT_FALSE(parse_int_field("99999999999"));
    EXPECT_FALSE(parse_int_field("\xc3\xa9"));
}

TEST(ListRead, ContinuesOnTheNextLineAndDropsTheRest) {
    std::istringstream in("1.5, 2 ,3\n4 5 6\n7\n");
    std::string line;
    auto next = [&]() -> std::optional<std::string_view> {
        if (!std::getline(in, line)) return std::nullopt;
        return std::string_view(line);
    };
    {
        ListReader r(next);
        float a, b, c, d;
        int e;
        ASSERT_TRUE(r.real(a) && r.real(b) && r.real(c) && r.real(d) && r.integer(e));
        EXPECT_FLOAT_EQ(a, 1.5f);
        EXPECT_FLOAT_EQ(d, 4.0f);
        EXPECT_EQ(e, 5);
    }
    ListReader r2(next);  // "6" is dropped with the end of the first read
    int g;
    ASSERT_TRUE(r2.integer(g));
    EXPECT_EQ(g, 7);
    EXPECT_FALSE(r2.integer(g));  // end of input
}

TEST(ListRead, OneLineOfTypedNumbers) {
    float v[2];
    int found = 0;
    EXPECT_TRUE(read_reals(" 0, 500", v, 2, found));
    EXPECT_EQ(found, 2);
    EXPECT_FLOAT_EQ(v[1], 500.0f);
    EXPECT_TRUE(read_reals("7", v, 2, found));
    EXPECT_EQ(found, 1);
    EXPECT_FALSE(read_reals("0 abc", v, 2, found));
    EXPECT_EQ(field("ab", 4), "ab  ");
    EXPECT_EQ(field("abcdef", 4), "abcd");
}

TEST(FixedFormat, QuickAndExactRoundingAgree) {
    // Values that sit near halves, in both paths.
    EXPECT_EQ(fmt_f(0.125, 5, 2), " 0.13");
    EXPECT_EQ(fmt_f(2.675, 5, 2), " 2.67");  // the double lies below the half
    EXPECT_EQ(fmt_f(1.005, 5, 2), " 1.00");
    EXPECT_EQ(fmt_f(0.0, 5, 2), " 0.00");
    EXPECT_EQ(fmt_f(0.004, 5, 2), " 0.00");
    EXPECT_EQ(fmt_f(0.996, 5, 2), " 1.00");
    EXPECT_EQ(fmt_f(7.0, 3, 0), " 7.");
    EXPECT_EQ(fmt_f(1e12, 20, 1), "     1000000000000.0");
}

TEST(FixedRead, QuickConversionMatchesFromChars) {
    const char* fields[] = {"10.100", "-0.0001", "16777216", "16777217", "0.1", "999.9", "33.525", "1.5E3", "-12.345"};
    for (const char* f : fields) {
        float want = 0;
        std::string t(f);
        for (auto& c : t)
            if (c == 'E') c = 'e';
        std::from_chars(t.data(), t.data() + t.size(), want);
        EXPECT_EQ(*parse_real_field(f, 0), want) << f;
    }
    EXPECT_FLOAT_EQ(*parse_real_field("16777217", 0), 16777216.0f);
    // Random decimals as files write them, padded with blanks, read as
    // fields and as list tokens: always the correctly rounded float.
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        std::string digits = std::to_string(rng() % 1000000000u).substr(0, 1 + rng() % 10);
        const std::size_t point = rng() % (digits.size() + 2);
        if (point <= digits.size()) digits.insert(point, ".");
        const std::string number = (rng() % 3 == 0 ? "-" : rng() % 5 == 0 ? "+" : "") + digits;
        float want = 0;
        const std::string plain = number[0] == '+' ? number.substr(1) : number;
        std::from_chars(plain.data(), plain.data() + plain.size(), want);
        const std::string field = std::string(rng() % 3, ' ') + number + std::string(rng() % 2, ' ');
        ASSERT_EQ(*parse_real_field(field, 0), want) << '"' << field << '"';
        float token = 0;
        ASSERT_TRUE(read_real_token(number, token));
        ASSERT_EQ(token, want) << number;
        if (number.find('.') == std::string::npos) {
            int whole = 0;
            ASSERT_TRUE(read_int_token(number, whole));
            EXPECT_EQ(whole, std::stol(number));
        }
    }
}

TEST(FixedFormat, PutIntegerMatchesTheStringForm) {
    for (long v : {0L, 7L, -7L, 9999L, -12345L, 2147483647L, -2147483648L}) {
        for (int w : {1, 3, 6, 12}) {
            char buf[32];
            char* end = put_i(buf, v, w);
            EXPECT_EQ(std::string(buf, end), fmt_i(v, w)) << v << " " << w;
        }
    }
}
