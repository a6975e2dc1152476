// Start of every pass of the variable loop: the summary line, the colour
// and line variable menus and the tick style.
#include <string>
#include <string_view>

#include "app/session.h"
#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"
#include "miscli/strings.h"
#include "miscli/text_field.h"

namespace app {

namespace {

struct Menu {
    std::string_view color_head, color_tail, color_question, color_letters;
    std::string_view line_head, line_tail, line_question, line_letters;
};

// The letters each menu accepts besides Q (colour) and X (line). The
// third kind's colour question names B although it lists W; both are taken.
Menu menu_for(std::string_view adcp_kind) {
    if (adcp_kind == "No ADCP ")
        return {" T=temp, S=salty, D=sigmat, 4=", ", Q=quit", " Give T, S, D, 4, Q for color contouring ", "TSD4",
                " T=temp, S=salty, D=sigmat, 4=", ", X=none", " Give T, S, D, 4 or X for line contours ", "TSD4X"};
    if (adcp_kind == "BackScat")
        return {" T=temp, S=salty, D=sigmat, 4=", ", U=east, V=north, B=backscat, Q=quit",
                " Give T, S, D, 4, U, V, B or Q for color contour ", "TSD4UVB",
                " T=temp, S=salty, D=sigmat, 4=", ", U=east, V=north, B=backscat, X=none",
                " Give T, S, D, 4, U, V, B or X for line contours ", "TSD4UVBX"};
    return {" T=temp, S=salty, D=sigmat, 4=", ", U=east, V=north, W=vert velo, Q=quit",
            " Give T, S, D, 4, U, V, B or Q for color contour ", "TSD4UVWB",
            " T=temp, S=salty, D=density, 4=", ", U=east, V=north, W=vert velo, X=none",
            " Give T, S, D, 4, U, V, W or X for line contours ", "TSD4UVWX"};
}

char ask(std::string_view head, std::string_view name, std::string_view tail, std::string_view question) {
    std::string listing(head);
    listing += miscli::field(name, 8);
    listing += tail;
    miscli::console().write_line(listing);
    miscli::console().write_line(question);
    std::string line = miscli::console().read_line();
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
    miscli::console().write_line(summary);

    const Menu m = menu_for(h.adcp_kind);
    for (;;) {
        char color = ask(m.color_head, h.var4_name, m.color_tail, m.color_question);
        if (color == 'Q') miscli::stop_normal();
        if (color != ' ' && !offered(color, m.color_letters)) {
            refuse(color);
            continue;
        }
        char line = ask(m.line_head, h.var4_name, m.line_tail, m.line_question);
        while (color != ' ' && !offered(line, m.line_letters)) {
            refuse(line);
            line = ask(m.line_head, h.var4_name, m.line_tail, m.line_question);
        }
        // A blank colour answer shows both menus again.
        if (color == ' ') continue;
        s.color_var = color;
        s.line_var = line;
        break;
    }

    char tics = ' ';
    miscli::charans_(tics, "(D)ay or (S)tation tics/labels? S/D?");
    s.day_tics = tics == 'D';
}

}  // namespace app
