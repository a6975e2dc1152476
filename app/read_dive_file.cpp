// Start of the run: the file name, the reader (chosen by what the file
// holds), the section frame's place on the page.
#include <string>
#include <utility>

#include "app/session.h"
#include "data/read_dive_data.h"
#include "miscli/console.h"
#include "miscli/progress.h"
#include "miscli/stop.h"
#include "section/plotcom.h"

namespace app {

using section::plotcom;

void place_frame(const Session& s) {
    // The frame keeps its margins to the page's edges: 2 inches at the
    // right for the colour bar, 0.8 elsewhere.
    plotcom.left = 0.8f;
    plotcom.right = s.look.page_width - 2.0f;
    plotcom.bottom = 0.8f;
    plotcom.top = s.look.page_height - 0.8f;
}

void read_dive_file(Session& s) {
    place_frame(s);

    miscli::console().write_prompt("Name *.SCI file");
    // The name is taken whole; only trailing blanks go.
    s.file_name = miscli::console().read_line(miscli::QuestionId::File);
    {
        std::string step = "Reading ";
        step += s.file_name;
        miscli::Progress reading(std::move(step));
        data::read_dive_data(s.file_name, s.header, s.dives);
    }
    if (!s.header.opened) miscli::stop("");  // the reader has said why
    if (s.header.n_dives <= 0) miscli::stop(" The file states no dives: there is nothing to plot.");
    if (s.header.n_read == 0) miscli::stop(" The file holds no dives: there is nothing to plot.");
    s.size_for_dives();
}

}  // namespace app
