#include "app/driver.h"

#include <memory>

#include "app/session.h"
#include "daz/stroke_text.h"
#include "miscli/stop.h"
#include "section/plotcom.h"

namespace app {

void take_options(Session& s, const Options& options) {
    s.look = options.look;
    s.mld_csv = options.mld_csv;
    std::string why;
    s.stamp = daz::stroke_text_of(options.stamp, why).value_or("");
    s.map_only = options.map;
    s.map_title = options.section.title;
    s.stack = options.section.stack;
    section::plotcom.horizontal = s.look.horizontal;
}

void draw_read_file(Session& s) {
    choose_track_and_axis(s);
    if (!s.stack.empty()) plot_stack(s);
    for (;;) {
        choose_variables(s);
        // A colour variable without a value in the range draws nothing:
        // back to the menus.
        if (!prepare_section(s)) continue;
        plot_loop(s);
    }
}

void run_dialogue(const Options& options) {
    // The session's arrays are large; they live on the heap for the run.
    auto session = std::make_unique<Session>();
    take_options(*session, options);
    read_dive_file(*session);
    draw_read_file(*session);
}

}  // namespace app
