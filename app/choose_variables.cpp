// Start of every pass of the variable loop: the summary line, the colour
// and line variable menus and the tick style.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/session.h"
#include "data/variables.h"
#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"
#include "miscli/strings.h"
#include "miscli/text_field.h"

namespace app {

namespace {

struct Menu {
    std::string color_listing, color_question, color_letters;
    std::string line_listing, line_question, line_letters;
};

// The menus' words where they have always differed from what the registry
// alone gives: without a profiler the colour question ends ", Q for color
// contouring"; with a velocity profiler the colour question names B in W's
// place (and takes both), and the line listing calls D "density".
struct Wording {
    data::Profiler kind;
    std::string_view color_close;        // after the colour question's letters
    char color_named_for, color_named;  // the colour question names the second for the first
    char line_word_for;                 // the line listing's own word for this letter
    std::string_view line_word;
};

constexpr Wording kWordings[] = {
    {data::Profiler::None, ", Q for color contouring ", 0, 0, 0, ""},
    {data::Profiler::Backscatter, " or Q for color contour ", 0, 0, 0, ""},
    {data::Profiler::Velocity, " or Q for color contour ", 'W', 'B', 'D', "density"},
};

// " T=temp, S=salty, ..., 4=NAME    " of the variables the file offers.
std::string listing(const std::vector<const data::Variable*>& offered, std::string_view var4_name,
                    char own_word_for = 0, std::string_view own_word = {}) {
    std::string text;
    for (const data::Variable* v : offered) {
        text += text.empty() ? " " : ", ";
        text += v->letter;
        text += '=';
        if (v->named_by_file) text += miscli::field(var4_name, 8);
        else text += v->letter == own_word_for ? own_word : v->menu;
    }
    return text;
}

// " Give T, S, D, 4" of the offered letters, `named` standing for `named_for`.
std::string give(const std::string& letters, char named_for = 0, char named = 0) {
    std::string text = " Give ";
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (i > 0) text += ", ";
        text += letters[i] == named_for ? named : letters[i];
    }
    return text;
}

// The two menus of a file's profiler kind: the listings, the questions and
// the letters each accepts besides Q (colour) and X (line).
Menu menu_for(data::Profiler kind, std::string_view var4_name, const section::Look& look) {
    const bool teos10_offered = look.teos10_variables;
    const Wording& w = *std::find_if(std::begin(kWordings), std::end(kWordings),
                                     [&](const Wording& x) { return x.kind == kind; });
    std::vector<const data::Variable*> offered;
    std::string letters;
    for (const data::Variable& v : data::kVariables)
        if ((v.offered_by & data::kind_bit(kind)) && (teos10_offered || !v.teos10)) {
            offered.push_back(&v);
            letters += v.letter;
        }
    Menu m;
    m.color_listing = listing(offered, var4_name) + ", Q=quit";
    m.color_question = give(letters, w.color_named_for, w.color_named) + std::string(w.color_close);
    m.color_letters = letters;
    if (w.color_named != 0) m.color_letters += w.color_named;
    m.line_listing = listing(offered, var4_name, w.line_word_for, w.line_word) + ", X=none";
    m.line_question = give(letters) + " or X for line contours ";
    // By TEOS-10 the density variable is sigma-0.
    if (look.eos == section::Eos::Teos10)
        for (std::string* text : {&m.color_listing, &m.line_listing})
            if (const std::size_t at = text->find("D=sigmat"); at != std::string::npos) text->replace(at, 8, "D=sigma0");
    m.line_letters = letters + 'X';
    return m;
}

char ask(std::string_view listing, std::string_view question, miscli::QuestionId id) {
    miscli::console().write_prompt(listing);
    miscli::console().write_prompt(question);
    std::string line = miscli::console().read_line(id);
    char answer = line.empty() ? ' ' : line[0];
    miscli::ucase_(answer);
    return answer;
}

void refuse(char answer) {
    if (answer == ' ') miscli::console().write_line(" An empty answer is not in the menu: give one of its letters.");
    else miscli::console().write_line(std::string(" ") + answer + " is not in the menu: give one of its letters.");
}

bool offered(char answer, std::string_view letters) {
    return answer != ' ' && letters.find(answer) != std::string_view::npos;
}

}  // namespace

bool colour_offered(const Session& s, char letter) {
    return offered(letter, menu_for(s.header.profiler, s.header.column(4).name, s.look).color_letters);
}

void choose_variables(Session& s) {
    const auto& h = s.header;
    const auto& t = s.dives;
    std::string summary = " S/N";
    summary += miscli::fmt_i_wide(h.serial_no, 3);
    summary += miscli::fmt_i_wide(h.n_dives, 8, 1);
    summary += " dives from yr";
    summary += miscli::fmt_i(t.dive_year(1), 5);
    summary += " days";
    summary += miscli::fmt_f(t.day_start(1), 6, 1);
    summary += " to";
    summary += miscli::fmt_f(t.day_start(h.n_dives), 6, 1);
    // It heads the menus, so it goes with their question.
    miscli::console().write_prompt(summary);

    const Menu m = menu_for(h.profiler, h.column(4).name, s.look);
    for (;;) {
        char color = ask(m.color_listing, m.color_question, miscli::QuestionId::Color);
        if (color == 'Q') miscli::stop_normal();
        if (color != ' ' && !offered(color, m.color_letters)) {
            refuse(color);
            continue;
        }
        char line = ask(m.line_listing, m.line_question, miscli::QuestionId::Line);
        while (color != ' ' && !offered(line, m.line_letters)) {
            refuse(line);
            line = ask(m.line_listing, m.line_question, miscli::QuestionId::Line);
        }
        // A blank colour answer shows both menus again.
        if (color == ' ') continue;
        s.color_var = color;
        s.line_var = line;
        break;
    }

    char tics = ' ';
    miscli::charans_(tics, "(D)ay or (S)tation tics/labels? S/D?", miscli::QuestionId::Ticks);
    s.day_tics = tics == 'D';
}

}  // namespace app
