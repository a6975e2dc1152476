// The title: 45 characters, not bytes, and no more codes than a line holds.
#include <gtest/gtest.h>

#include <string>

#include "app/title.h"

namespace {

std::string times(int n, const std::string& s) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(Title, CountsCharactersAndTheCodesOfRaisedRuns) {
    const std::string sigma = "\xcf\x83", squared = "\xc2\xb2";
    struct Row {
        std::string title;
        std::string why;  // empty: taken
    } rows[] = {
        {times(45, sigma), ""},
        {times(46, sigma), "at most 45 characters"},
        {times(45, "x"), ""},
        // Each raised run takes six codes of its own.
        {times(10, "x" + squared), ""},
        {times(15, "x" + squared), "too long to draw with its raised and lowered characters"},
    };
    for (const Row& r : rows) {
        std::string why;
        EXPECT_EQ(app::title_stroke_text(r.title, why).has_value(), r.why.empty()) << r.title;
        EXPECT_EQ(why, r.why) << r.title;
    }
}

}  // namespace
