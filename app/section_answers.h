#pragma once
// The answers of a one-command section, given as the dialogue asks for
// them. Each question is known by its prompt (the console line, or the
// prompt shown in the graphics window) and answered from the choices, so
// questions that only some files ask (the fourth variable, the log scale)
// are answered when they come. Prompts and menus are not printed; other
// lines are (the reader's line, the Open line). A question asked again
// means the dialogue refused the answer: the run ends with one line naming
// the option and the dialogue's reason.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "app/section_choices.h"
#include "miscli/console.h"

namespace app {

class SectionAnswers final : public miscli::Answerer {
public:
    SectionAnswers(std::string dive_file, SectionChoices choices, std::ostream& out);
    void console_line(std::string_view line) override;
    void window_prompt(std::string_view text) override;
    bool next_line(std::string& line) override;
    // Prints the lines still held; called when the run ends.
    void flush();
    // The last line held that belongs to no question, taken out; empty if none.
    std::string take_last_line();

    enum class Kind {
        File, Var4, Reverse, Axis, Color, Line, Ticks, Log, Range,
        Begin, MapStatus, DiveRange, EditorMain, EditorPlace, Title, Device, Unknown
    };

private:
    std::string answer(Kind kind, std::string_view question);
    [[noreturn]] void refuse(Kind kind, std::string_view reason) const;
    void print(std::string_view line);

    std::string dive_file_;
    SectionChoices choices_;
    std::ostream& out_;
    std::vector<std::string> held_;  // console lines since the last answer
    std::string window_text_;        // the window's prompt, when it asks last
    bool window_asks_ = false;
    std::vector<Kind> asked_;        // every question answered so far
    std::string all_dives_;          // "FIRST LAST" of the map's whole range
    std::string shown_range_;        // the data's range, answered without --range
    std::size_t next_label_ = 0;
};

}  // namespace app
