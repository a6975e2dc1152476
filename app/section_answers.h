#pragma once
// The answers of a one-command section, given as the dialogue asks for
// them. Each question is known by its name and answered from the choices,
// so questions that only some files ask (the fourth variable, the log scale)
// are answered when they come. Questions and menus are not printed; other
// lines are (the reader's line, the Open line). A question asked again
// means the dialogue refused the answer: the run ends with one line naming
// the option and the dialogue's reason.
#include <array>
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
    void window_question(const miscli::Question& q, std::string_view text) override;
    bool console_answer(const miscli::Question& q, std::string& line) override;
    bool window_answer(std::string& line) override;
    // The run's files were read before: their questions are not asked.
    void file_read();
    // Prints the lines still held; called when the run ends.
    void flush();
    // The last line held, taken out; empty if none.
    std::string take_last_line();

private:
    using Id = miscli::QuestionId;
    // The answer to question `id`, after the notes the dialogue gave ahead
    // of it; `text` is the question's, for one this run cannot answer.
    std::string answer(Id id, const std::array<double, 2>& values, std::string_view text,
                       const std::vector<std::string>& notes);
    std::string answer_line(Id id, const std::array<double, 2>& values);
    [[noreturn]] void refuse(Id id, std::string_view reason) const;
    void print(std::string_view line);

    std::string dive_file_;
    SectionChoices choices_;
    std::ostream& out_;
    std::vector<std::string> held_;  // console lines since the last answer
    // What the graphics window asks, once it asks something.
    bool window_asks_ = false;
    Id window_id_ = Id::Begin;
    std::array<double, 2> window_values_{};
    std::string window_text_, window_note_;
    std::vector<Id> asked_;    // every question answered so far
    std::string all_dives_;    // "FIRST LAST" of the map's whole range
    std::string shown_range_;  // the data's range, answered without --range
    std::size_t next_label_ = 0;
};

// The answers stand in for the console while this lives. With `flush`,
// whatever ends the run, the lines they hold are printed before the line
// that says why; without, they are left out.
class AnswersInstalled {
public:
    AnswersInstalled(SectionAnswers& answers, bool flush) : answers_(answers), flush_(flush) {
        miscli::console().set_answerer(&answers_);
    }
    ~AnswersInstalled() {
        miscli::console().set_answerer(nullptr);
        if (flush_) answers_.flush();
    }
    AnswersInstalled(const AnswersInstalled&) = delete;
    AnswersInstalled& operator=(const AnswersInstalled&) = delete;

private:
    SectionAnswers& answers_;
    bool flush_;
};

}  // namespace app
