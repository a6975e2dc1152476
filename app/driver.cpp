#include "app/driver.h"

#include <memory>

#include "app/session.h"
#include "daz/stroke_text.h"
#include "miscli/stop.h"
#include "section/plotcom.h"

namespace app {

void run_dialogue(const Options& options) {
    // The session's arrays are large; they live on the heap for the run.
    auto session = std::make_unique<Session>();
    Session& s = *session;
    s.look = options.look;
    s.mld_csv = options.mld_csv;
    std::string why;
    s.stamp = daz::stroke_text_of(options.stamp, why).value_or("");
    s.map_only = options.map;
    s.map_title = options.section.title;
    section::plotcom.horizontal = s.look.horizontal;
    read_dive_file(s);
    choose_track_and_axis(s);
    for (;;) {
        choose_variables(s);
        // A colour variable without a value in the range draws nothing:
        // back to the menus.
        if (!prepare_section(s)) continue;
        plot_loop(s);
    }
}

}  // namespace app
