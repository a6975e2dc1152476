// The one-command answers: questions answered by name as they come,
// including the fourth-variable question that only some files ask, and
// refusals that end the run naming the option.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "app/section_answers.h"
#include "miscli/stop.h"

namespace {

using app::SectionAnswers;
using app::SectionChoices;
using miscli::Question;
using Id = miscli::QuestionId;

struct Answering {
    std::ostringstream out;
    SectionAnswers answers;
    explicit Answering(SectionChoices c) : answers("m.nc", std::move(c), out) {}
    // The program writes these lines, then asks q on the console.
    std::string ask(const Question& q, std::initializer_list<std::string_view> lines = {}) {
        for (auto l : lines) answers.console_line(l);
        std::string line;
        EXPECT_TRUE(answers.console_answer(q, line));
        return line;
    }
    std::string window(const Question& q, std::string_view text = "") {
        answers.window_question(q, text);
        std::string line;
        EXPECT_TRUE(answers.window_answer(line));
        return line;
    }
};

SectionChoices with_var4(const char* name) {
    SectionChoices c;
    c.var4 = name;
    return c;
}

// The line the run stops with (status 1), or "no stop".
std::string stop_line(const std::function<void()>& run) {
    try {
        run();
    } catch (const miscli::ProgramStop& stop) {
        EXPECT_EQ(stop.status, 1);
        return stop.line;
    }
    return "no stop";
}

TEST(SectionAnswers, QuestionsAreAnsweredByNameWithTheValuesTheyShow) {
    Answering a(with_var4("DOXY"));
    EXPECT_EQ(a.ask(Id::File), "m.nc");
    EXPECT_EQ(a.ask(Id::Var4, {" Read 40 profiles from 1 netCDF file"}), "DOXY");
    EXPECT_EQ(a.window(Id::Begin), "click");
    // All dives: the map's whole range, however wide its numbers.
    EXPECT_EQ(a.window({Id::MapStatus, {1, 5000}}), "key G");
    EXPECT_EQ(a.window(Id::DiveRange), "type 1 5000");
    // Without --range, the data's range as the question shows it.
    EXPECT_EQ(a.ask({Id::Range, {0.5, 500.44}}), "0.5  500.4");
    // The reader's line is printed, the questions are not.
    EXPECT_EQ(a.out.str(), " Read 40 profiles from 1 netCDF file\n");

    Answering first(SectionChoices{});
    first.ask(Id::File);
    EXPECT_EQ(first.ask(Id::Var4), "");  // Enter: the first
}

TEST(SectionAnswers, ARefusalEndsTheRunNamingTheOptionAndTheReason) {
    Answering var4(with_var4("DOXX"));
    var4.ask(Id::File);
    var4.ask(Id::Var4);
    EXPECT_EQ(stop_line([&] { var4.ask(Id::Var4, {" DOXX is not in the list."}); }),
              " --var4 DOXX: DOXX is not in the list.");

    // A file without the question: refused at the next one.
    Answering unasked(with_var4("DOXY"));
    unasked.ask(Id::File);
    EXPECT_EQ(stop_line([&] { unasked.window(Id::Begin); }),
              " --var4 DOXY: m.nc offers no choice of fourth variable.");

    SectionChoices labelled;
    labelled.labels = {{"3", "5"}};
    Answering label(labelled);
    EXPECT_EQ(label.window(Id::EditorMain), "key A 3 5");
    EXPECT_EQ(stop_line([&] { label.window({Id::EditorMain, {}, "No value at that point.  "}); }),
              " --label 3,5: No value at that point.");

    Answering range(SectionChoices{});
    range.ask({Id::Range, {5, 30000}});
    EXPECT_EQ(stop_line([&] { range.ask({Id::Range, {5, 30000}}, {" That range needs more grid levels."}); }),
              " The data's range, 5.0 30000.0, cannot be drawn: That range needs more grid levels. "
              "Give --range MIN,MAX.");
}

}  // namespace
