#include <gtest/gtest.h>

#include "miscli/strings.h"
#include "support/test_support.h"

using testing_support::with_console;

TEST(Ljustn, MovesTextLeftAndMeasures) {
    std::string t = "   AB  C  ";
    int n = -1;
    miscli::ljustn_(t, n);
    EXPECT_EQ(t, "AB  C     ");
    EXPECT_EQ(n, 5);

    std::string blank(6, ' ');
    miscli::ljustn_(blank, n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(blank, "      ");
}

TEST(Ucase, OnlyLowerCaseLettersChange) {
    std::string t = "ab1 -z\xe9Q";
    miscli::ucase_(t);
    EXPECT_EQ(t, "AB1 -Z\xe9Q");
}

TEST(Charadd, CutsAtTheFirstFieldLength) {
    std::string a = "ab  ", b = "cdef";
    int n = 0;
    miscli::charadd_(a, b, n);
    EXPECT_EQ(a, "abcd");
    EXPECT_EQ(n, 4);

    std::string c = " x        ", d = "  yz";
    miscli::charadd_(c, d, n);
    EXPECT_EQ(c, "xyz       ");
    EXPECT_EQ(n, 3);
}

TEST(Charans, EchoesTheQuestionAndUpperCasesTheAnswer) {
    char answer = 0;
    auto out = with_console("s\n", [&] { miscli::charans_(answer, "  Pick S/D?  ", miscli::QuestionId::Ticks); });
    EXPECT_EQ(out, " Pick S/D? \n");
    EXPECT_EQ(answer, 'S');

    out = with_console("\n", [&] { miscli::charans_(answer, "Q", miscli::QuestionId::Axis); });
    EXPECT_EQ(answer, ' ');
}

TEST(Charans, EndOfInputStopsWithStatusOne) {
    char answer = 0;
    miscli::ProgramStop stop{};
    with_console("", [&] { miscli::charans_(answer, "Q", miscli::QuestionId::Axis); }, &stop);
    EXPECT_EQ(stop.status, 1);
    EXPECT_NE(stop.line.find("input ended"), std::string::npos);
}
