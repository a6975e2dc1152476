// The one-command answers: questions answered as they come, by their
// prompts, including the fourth-variable question that only some files ask.
#include <gtest/gtest.h>

#include <sstream>

#include "app/section_answers.h"
#include "miscli/stop.h"

namespace {

using app::SectionAnswers;
using app::SectionChoices;

struct Answering {
    std::ostringstream out;
    SectionAnswers answers;
    explicit Answering(SectionChoices c) : answers("m.nc", std::move(c), out) {}
    // The program writes these lines, then waits for an answer.
    std::string ask(std::initializer_list<std::string_view> lines) {
        for (auto l : lines) answers.console_line(l);
        std::string line;
        EXPECT_TRUE(answers.next_line(line));
        return line;
    }
    std::string window(std::string_view prompt) {
        answers.window_prompt(prompt);
        std::string line;
        EXPECT_TRUE(answers.next_line(line));
        return line;
    }
};

SectionChoices with_var4(const char* name) {
    SectionChoices c;
    c.var4 = name;
    return c;
}

TEST(SectionAnswers, TheFourthVariableIsAnsweredWhenItIsAsked) {
    Answering a(with_var4("DOXY"));
    EXPECT_EQ(a.ask({"Name *.SCI file"}), "m.nc");
    EXPECT_EQ(a.ask({" Read 40 profiles from 1 netCDF file", " Fourth variable (Enter for CHLA): CHLA DOXY CNDC"}),
              "DOXY");
    EXPECT_EQ(a.window("Click plot area to begin"), "click");
    EXPECT_EQ(a.window("Station range   1  40. Tell dive (N)umber, (G)ive dive range, (Q)uit"), "key G");
    EXPECT_EQ(a.window("Give First, Last dive to plot: "), "type 1 40");
    // The reader's line is printed, the questions are not.
    EXPECT_EQ(a.out.str(), " Read 40 profiles from 1 netCDF file\n");

    Answering first(SectionChoices{});
    first.ask({"Name *.SCI file"});
    EXPECT_EQ(first.ask({" Fourth variable (Enter for CHLA): CHLA DOXY"}), "");  // Enter: the first
}

// The map's range is two four-column fields: from 1000 dives on they touch.
TEST(SectionAnswers, AllDivesOfALargeMissionAreTheMapsWholeRange) {
    Answering a(SectionChoices{});
    a.ask({"Name *.SCI file"});
    a.window("Click plot area to begin");
    EXPECT_EQ(a.window("Station range    1 5000. Tell dive (N)umber, (G)ive dive range, (Q)uit"), "key G");
    EXPECT_EQ(a.window("Give First, Last dive to plot: "), "type 1 5000");

    Answering beyond(SectionChoices{});
    beyond.ask({"Name *.SCI file"});
    beyond.window("Click plot area to begin");
    beyond.answers.window_prompt("Station range   1****. Tell dive (N)umber, (G)ive dive range, (Q)uit");
    std::string line;
    try {
        beyond.answers.next_line(line);
        ADD_FAILURE() << "no stop";
    } catch (const miscli::ProgramStop& stop) {
        EXPECT_NE(stop.line.find("give --dives FIRST:LAST"), std::string::npos) << stop.line;
        EXPECT_EQ(stop.status, 1);
    }
}

TEST(SectionAnswers, ARefusedOrUnaskedFourthVariableEndsTheRunNamingTheOption) {
    const std::initializer_list<std::string_view> refusals[] = {
        {" DOXX is not in the list.", " Fourth variable (Enter for CHLA): CHLA DOXY"},
        {" DOXX is not in the list. Fourth variable (Enter for CHLA): CHLA DOXY"},
    };
    for (const auto& again : refusals) {
        Answering a(with_var4("DOXX"));
        a.ask({"Name *.SCI file"});
        a.ask({" Fourth variable (Enter for CHLA): CHLA DOXY"});
        try {
            a.ask(again);
            ADD_FAILURE() << "no stop";
        } catch (const miscli::ProgramStop& stop) {
            EXPECT_EQ(stop.status, 1);
            EXPECT_EQ(stop.line, " --var4 DOXX: DOXX is not in the list.");
        }
    }
    // A file without the question: refused at the next one.
    Answering a(with_var4("DOXY"));
    a.ask({"Name *.SCI file"});
    try {
        a.window("Click plot area to begin");
        ADD_FAILURE() << "no stop";
    } catch (const miscli::ProgramStop& stop) {
        EXPECT_EQ(stop.line, " --var4 DOXY: m.nc offers no choice of fourth variable.");
    }
}

}  // namespace
