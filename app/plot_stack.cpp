// A stacked page: one panel a colour variable, top to bottom, all of the
// same dives against the same horizontal axis and over the same range,
// each with its own colour bar, drawn straight into the hardcopy.
#include <cstddef>
#include <optional>
#include <string>

#include "app/section_choices.h"
#include "app/session.h"
#include "data/variables.h"
#include "daz/plot_device.h"
#include "miscli/console.h"
#include "miscli/progress.h"
#include "miscli/stop.h"
#include "section/plotcom.h"

namespace app {

using section::plotcom;

void plot_stack(Session& s) {
    const std::size_t n = s.stack.size();
    const float first_top = s.look.page_height - 0.8f, height = panel_height(s.look.page_height, n);
    // The first panel's variables come from the menus as a section's do;
    // the others take its line variable, ticks and range.
    choose_variables(s);
    while (!prepare_section(s)) choose_variables(s);
    for (char letter : s.stack.substr(1))
        if (!colour_offered(s, letter))
            miscli::stop(" --stack: " + std::string(1, letter) + " is not in the colour menu of this file.");
    s.range_kept = true;
    // The title is asked for on the screen, as after a section's first plot.
    daz::plopen_('S', 'X');
    ask_title(s);

    std::optional<miscli::Progress> writing;
    for (std::size_t i = 0; i < n; ++i) {
        plotcom.top = first_top - static_cast<float>(i) * (height + kPanelGap);
        plotcom.bottom = plotcom.top - height;
        plotcom.ticks_above = i == 0;
        plotcom.words_below = i + 1 == n;
        if (i > 0) {
            s.color_var = s.stack[i];
            // A panel with no value in the range stays an empty frame; the
            // run has said so.
            if (!prepare_section(s)) {
                daz::rgbcolor_(0.0f, 0.0f, 0.0f);
                daz::ploti_(plotcom.left, plotcom.bottom, 3);
                for (auto [x, y] : {std::pair{plotcom.left, plotcom.top}, std::pair{plotcom.right, plotcom.top},
                                    std::pair{plotcom.right, plotcom.bottom}, std::pair{plotcom.left, plotcom.bottom}})
                    daz::ploti_(x, y, 2);
                continue;
            }
        } else {
            section::set_vertical_scale();
        }
        s.device_code = 'H';
        if (i == 0) {
            writing.emplace("Writing the hardcopy");
            daz::plopen_('H', 'X');
            daz::linwid_(20);
        }
        draw_section(s);
    }
    page_words(s, first_top, plotcom.bottom);
    daz::plclosnow_();
    miscli::stop_normal();
}

}  // namespace app
