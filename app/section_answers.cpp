#include "app/section_answers.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "data/read_dive_data.h"
#include "miscli/stop.h"

namespace app {

namespace {

using Kind = SectionAnswers::Kind;

struct Prompt {
    Kind kind;
    std::string_view text;
    bool at_start;     // the line starts with text; otherwise holds it
    bool note_before;  // what stands before text says why the last answer was refused
};

constexpr Prompt kConsolePrompts[] = {
    {Kind::File, "Name ", true, false},
    {Kind::Var4, "Fourth variable (Enter for", false, true},
    {Kind::Reverse, "Reverse? Y/N?", false, false},
    {Kind::Axis, "S/L/D?", false, false},
    {Kind::Color, "for color contour", false, false},
    {Kind::Line, "for line contours", false, false},
    {Kind::Ticks, "tics/labels? S/D?", false, false},
    {Kind::Log, " Contour Log10", true, false},
    {Kind::Range, "Give Min, Max to plot", false, false},
};

constexpr Prompt kWindowPrompts[] = {
    {Kind::Begin, "Click plot area to begin", false, true},
    {Kind::MapStatus, ". Tell dive (N)umber", false, false},
    {Kind::DiveRange, "Give First, Last dive to plot", false, true},
    {Kind::EditorMain, "(A)sk value, (M)ove, (K)ill, (Q)uit", false, true},
    {Kind::EditorPlace, "mar(K) Lower Left or (S)kip", false, false},
    {Kind::Title, "Complete title", true, false},
    {Kind::Device, "(H)ardcopy, (S)creen or (Q)uit?", false, true},
};

constexpr std::string_view kRangeHead = "Station range";

// Lines of the dialogue that belong to its questions: the summary ahead of
// the menus, the menu listings, the first line of the axis question, the
// label editor's blank line.
bool part_of_a_question(std::string_view line) {
    return line.starts_with(" S/N") || line.starts_with(" T=temp") || line.starts_with(" Choose a vertical axis") ||
           line == "  ";
}

// The question's kind; `before` gets the text ahead of the prompt, and
// `note` is set when that text is a reason rather than data.
template <std::size_t N>
Kind kind_of(std::string_view text, const Prompt (&prompts)[N], std::string_view& before, bool& note) {
    for (const Prompt& p : prompts) {
        const std::size_t at = text.find(p.text);
        if (at == std::string_view::npos || (p.at_start && at != 0)) continue;
        before = text.substr(0, at);
        note = p.note_before;
        return p.kind;
    }
    return Kind::Unknown;
}

std::string trimmed(std::string_view s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

// The data's range as the range question shows it: the text between "is"
// and the question.
std::string shown_range(std::string_view question) {
    const std::size_t is = question.find(" is");
    const std::size_t give = question.find("Give Min");
    if (is == std::string_view::npos || give == std::string_view::npos || give < is) return {};
    return trimmed(question.substr(is + 3, give - is - 3));
}

// The file answer as a message names it: of several files named
// together, the first (which offers the fourth variable) and their number.
std::string shown(const std::string& file_answer) {
    const std::vector<std::string> names = data::names_in_answer(file_answer);
    if (names.size() == 1) return names.front();
    return names.front() + " (the first of " + std::to_string(names.size()) + " files)";
}

// Questions a run answers once; asked again, the answer was refused.
bool asked_once(Kind k) { return k != Kind::Log && k != Kind::EditorMain && k != Kind::EditorPlace; }

std::string yes_no(bool yes) { return yes ? "Y" : "N"; }

}  // namespace

SectionAnswers::SectionAnswers(std::string dive_file, SectionChoices choices, std::ostream& out)
    : dive_file_(std::move(dive_file)), choices_(std::move(choices)), out_(out) {}

void SectionAnswers::print(std::string_view line) {
    // A failed write is found when the run ends (main checks the stream).
    out_ << miscli::one_line(line) << '\n';
    out_.flush();
}

void SectionAnswers::console_line(std::string_view line) {
    held_.emplace_back(line);
    window_asks_ = false;
}

void SectionAnswers::window_prompt(std::string_view text) {
    window_text_ = text;
    window_asks_ = true;
}

void SectionAnswers::flush() {
    for (const std::string& l : held_)
        if (!part_of_a_question(l)) print(l);
    held_.clear();
}

std::string SectionAnswers::take_last_line() {
    for (auto l = held_.rbegin(); l != held_.rend(); ++l) {
        if (part_of_a_question(*l)) continue;
        std::string line = std::move(*l);
        held_.erase(std::next(l).base());
        return line;
    }
    return {};
}

bool SectionAnswers::next_line(std::string& line) {
    std::string_view before;
    bool note = false;
    std::string question;
    std::vector<std::string> notes;  // what the dialogue said ahead of the question
    Kind kind = Kind::Unknown;
    if (window_asks_) {
        flush();
        question = window_text_;
        kind = kind_of(question, kWindowPrompts, before, note);
    } else if (!held_.empty()) {
        question = held_.back();
        held_.pop_back();
        kind = kind_of(question, kConsolePrompts, before, note);
        for (const std::string& l : held_)
            if (!part_of_a_question(l)) notes.push_back(trimmed(l));
        held_.clear();
    }
    if (note && !trimmed(before).empty()) notes.push_back(trimmed(before));
    if (kind == Kind::Unknown) miscli::stop(" The one-command run cannot answer \"" + trimmed(question) + "\".");

    const bool again = asked_once(kind) && std::find(asked_.begin(), asked_.end(), kind) != asked_.end();
    const bool label_refused = kind == Kind::EditorMain && !notes.empty();
    if (again || label_refused) {
        std::string reason;
        for (const std::string& n : notes) reason += (reason.empty() ? "" : " ") + n;
        refuse(kind, reason);
    }
    for (const std::string& n : notes) print(" " + n);

    // The fourth-variable question comes right after the file's; a file
    // that does not ask it has no choice to make.
    if (choices_.var4 && kind != Kind::File && kind != Kind::Var4 &&
        std::find(asked_.begin(), asked_.end(), Kind::Var4) == asked_.end())
        miscli::stop(" --var4 " + *choices_.var4 + ": " + shown(dive_file_) + " offers no choice of fourth variable.");
    if (kind == Kind::MapStatus && choices_.dives.empty()) {
        // "Station range   1 120": the range the map starts with, two
        // numbers that a blank always parts.
        std::istringstream fields{std::string(before.substr(std::min(before.size(), kRangeHead.size())))};
        long first = 0, last = 0;
        if (!(fields >> first >> last))
            miscli::stop(" --dives: the dives of " + shown(dive_file_) + " cannot be counted here; give --dives FIRST:LAST.");
        all_dives_ = std::to_string(first) + " " + std::to_string(last);
    }
    asked_.push_back(kind);
    line = answer(kind, question);
    return true;
}

std::string SectionAnswers::answer(Kind kind, std::string_view question) {
    const SectionChoices& c = choices_;
    switch (kind) {
    case Kind::File: return dive_file_;
    case Kind::Var4: return c.var4.value_or("");
    case Kind::Reverse: return yes_no(c.reverse);
    case Kind::Axis: return std::string(1, c.axis);
    case Kind::Color: return std::string(1, c.color);
    case Kind::Line: return std::string(1, c.contour);
    case Kind::Ticks: return std::string(1, c.ticks);
    case Kind::Log: return yes_no(c.log);
    case Kind::Range:
        if (!c.range.empty()) return c.range;
        shown_range_ = shown_range(question);
        return shown_range_;
    case Kind::Begin: return "click";
    case Kind::MapStatus: return "key G";
    case Kind::DiveRange: return "type " + (c.dives.empty() ? all_dives_ : c.dives);
    case Kind::EditorMain: {
        if (next_label_ == c.labels.size()) return "key Q";
        const PageSpot& spot = c.labels[next_label_++];
        return "key A " + spot.x + " " + spot.y;
    }
    case Kind::EditorPlace: {
        if (next_label_ == 0) return "key S";  // asked for no label of ours
        const PageSpot& spot = c.labels[next_label_ - 1];
        return "key K " + spot.x + " " + spot.y;
    }
    case Kind::Title: return "type " + c.title;
    case Kind::Device: return "key H";
    case Kind::Unknown: break;
    }
    return {};
}

void SectionAnswers::refuse(Kind kind, std::string_view reason) const {
    const SectionChoices& c = choices_;
    std::string option;
    switch (kind) {
    case Kind::Var4: option = "--var4 " + c.var4.value_or("(the first)"); break;
    case Kind::DiveRange: option = "--dives " + (c.dives.empty() ? "(all dives)" : c.dives_option); break;
    case Kind::Color: option = std::string("--color ") + c.color; break;
    case Kind::Line: option = std::string("--contour ") + c.contour; break;
    case Kind::Range:
        // Without --range the data's own range was refused: no option to blame.
        if (c.range.empty())
            miscli::stop(" The data's range, " + shown_range_ + ", cannot be drawn: " +
                         (reason.empty() ? std::string("refused") : std::string(reason)) + " Give --range MIN,MAX.");
        option = "--range " + c.range_option;
        break;
    case Kind::EditorMain: {
        const PageSpot& spot = c.labels[next_label_ - 1];
        option = "--label " + spot.x + "," + spot.y;
        break;
    }
    default: option = "The one-command run"; break;
    }
    miscli::stop(" " + option + ": " + (reason.empty() ? std::string("refused") : std::string(reason)));
}

}  // namespace app
