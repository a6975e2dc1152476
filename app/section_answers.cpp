#include "app/section_answers.h"

#include <algorithm>
#include <ostream>
#include <utility>

#include "data/read_dive_data.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"

namespace app {

namespace {

using Id = miscli::QuestionId;

std::string trimmed(std::string_view s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

// The data's range as the range question shows it: two fields of one
// decimal.
std::string shown_range(const std::array<double, 2>& range) {
    return trimmed(miscli::fmt_f_wide(range[0], 7, 1) + miscli::fmt_f_wide(range[1], 7, 1));
}

// The file answer as a message names it: of several files named
// together, the first (which offers the fourth variable) and their number.
std::string shown(const std::string& file_answer) {
    const std::vector<std::string> names = data::names_in_answer(file_answer);
    if (names.size() == 1) return names.front();
    return names.front() + " (the first of " + std::to_string(names.size()) + " files)";
}

// Questions a run answers once; asked again, the answer was refused.
bool asked_once(Id id) { return id != Id::Log && id != Id::EditorMain && id != Id::EditorPlace; }

// A label is never moved, so where a moved one goes is never asked.
bool answerable(Id id) { return id != Id::EditorMove; }

std::string yes_no(bool yes) { return yes ? "Y" : "N"; }

}  // namespace

SectionAnswers::SectionAnswers(std::string dive_file, SectionChoices choices, std::ostream& out)
    : dive_file_(std::move(dive_file)), choices_(std::move(choices)), out_(out) {}

void SectionAnswers::print(std::string_view line) {
    // A failed write is found when the run ends (main checks the stream).
    out_ << miscli::one_line(line) << '\n';
    out_.flush();
}

void SectionAnswers::console_line(std::string_view line) { held_.emplace_back(line); }

void SectionAnswers::window_question(const miscli::Question& q, std::string_view text) {
    window_asks_ = true;
    window_id_ = q.id;
    window_values_ = q.values;
    window_text_ = text;
    window_note_ = q.note;
}

void SectionAnswers::file_read() { asked_.insert(asked_.end(), {Id::File, Id::Var4}); }

void SectionAnswers::flush() {
    for (const std::string& l : held_) print(l);
    held_.clear();
}

std::string SectionAnswers::take_last_line() {
    if (held_.empty()) return {};
    std::string line = std::move(held_.back());
    held_.pop_back();
    return line;
}

bool SectionAnswers::console_answer(const miscli::Question& q, std::string& line) {
    // What the dialogue said since the last answer: a reason, if this
    // question comes again.
    std::vector<std::string> notes;
    for (const std::string& l : held_) notes.push_back(trimmed(l));
    held_.clear();
    line = answer(q.id, q.values, {}, notes);
    return true;
}

bool SectionAnswers::window_answer(std::string& line) {
    flush();
    if (!window_asks_) miscli::stop(" The one-command run cannot answer \"\".");
    std::vector<std::string> notes;
    if (std::string note = trimmed(window_note_); !note.empty()) notes.push_back(std::move(note));
    line = answer(window_id_, window_values_, window_text_, notes);
    return true;
}

std::string SectionAnswers::answer(Id id, const std::array<double, 2>& values, std::string_view text,
                                   const std::vector<std::string>& notes) {
    if (!answerable(id)) miscli::stop(" The one-command run cannot answer \"" + trimmed(text) + "\".");
    const bool again = asked_once(id) && std::find(asked_.begin(), asked_.end(), id) != asked_.end();
    const bool label_refused = id == Id::EditorMain && !notes.empty();
    if (again || label_refused) {
        std::string reason;
        for (const std::string& n : notes) reason += (reason.empty() ? "" : " ") + n;
        refuse(id, reason);
    }
    for (const std::string& n : notes) print(" " + n);

    // The fourth-variable question comes right after the file's; a file
    // that does not ask it has no choice to make.
    if (choices_.var4 && id != Id::File && id != Id::Var4 &&
        std::find(asked_.begin(), asked_.end(), Id::Var4) == asked_.end())
        miscli::stop(" --var4 " + *choices_.var4 + ": " + shown(dive_file_) + " offers no choice of fourth variable.");
    asked_.push_back(id);
    return answer_line(id, values);
}

std::string SectionAnswers::answer_line(Id id, const std::array<double, 2>& values) {
    const SectionChoices& c = choices_;
    switch (id) {
    case Id::File: return dive_file_;
    case Id::Var4: return c.var4.value_or("");
    case Id::Reverse: return yes_no(c.reverse);
    case Id::Axis: return std::string(1, c.axis);
    case Id::Color: return std::string(1, c.color);
    case Id::Line: return std::string(1, c.contour);
    case Id::Ticks: return std::string(1, c.ticks);
    case Id::Log: return yes_no(c.log);
    case Id::Range:
        if (!c.range.empty()) return c.range;
        shown_range_ = shown_range(values);
        return shown_range_;
    case Id::Begin: return "click";
    case Id::MapStatus:
        // All dives: the range the map starts with.
        if (c.dives.empty())
            all_dives_ = std::to_string(static_cast<long>(values[0])) + " " + std::to_string(static_cast<long>(values[1]));
        return "key G";
    case Id::DiveRange: return "type " + (c.dives.empty() ? all_dives_ : c.dives);
    case Id::EditorMain: {
        if (next_label_ == c.labels.size()) return "key Q";
        const PageSpot& spot = c.labels[next_label_++];
        return "key A " + spot.x + " " + spot.y;
    }
    case Id::EditorPlace: {
        if (next_label_ == 0) return "key S";  // asked for no label of ours
        const PageSpot& spot = c.labels[next_label_ - 1];
        return "key K " + spot.x + " " + spot.y;
    }
    case Id::Title: return "type " + c.title;
    case Id::Device: return "key H";
    case Id::EditorMove: break;
    }
    return {};
}

void SectionAnswers::refuse(Id id, std::string_view reason) const {
    const SectionChoices& c = choices_;
    std::string option;
    switch (id) {
    case Id::Var4: option = "--var4 " + c.var4.value_or("(the first)"); break;
    case Id::DiveRange: option = "--dives " + (c.dives.empty() ? "(all dives)" : c.dives_option); break;
    case Id::Color: option = c.stack.empty() ? std::string("--color ") + c.color : "--stack " + c.stack_option; break;
    case Id::Line: option = std::string("--contour ") + c.contour; break;
    case Id::Range:
        // Without --range the data's own range was refused: no option to blame.
        if (c.range.empty())
            miscli::stop(" The data's range, " + shown_range_ + ", cannot be drawn: " +
                         (reason.empty() ? std::string("refused") : std::string(reason)) + " Give --range MIN,MAX.");
        option = "--range " + c.range_option;
        break;
    case Id::EditorMain: {
        const PageSpot& spot = c.labels[next_label_ - 1];
        option = "--label " + spot.x + "," + spot.y;
        break;
    }
    case Id::Title: option = "--title " + c.title; break;
    default: option = "The one-command run"; break;
    }
    miscli::stop(" " + option + ": " + (reason.empty() ? std::string("refused") : std::string(reason)));
}

}  // namespace app
