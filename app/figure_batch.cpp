#include "app/figure_batch.h"

#include <exception>
#include <memory>
#include <sstream>

#include "app/driver.h"
#include "app/section_answers.h"
#include "app/session.h"
#include "data/read_dive_data.h"
#include "daz/plot_device.h"
#include "miscli/console.h"
#include "miscli/stop.h"
#include "screen/screen.h"
#include "section/plotcom.h"

namespace app {

namespace {

// The files and the fourth variable: figures of one key share a read.
std::string read_key(const Options& o) {
    std::string key;
    for (const std::string& f : o.dive_files) key += f + '\n';
    return key + '\n' + o.section.var4.value_or("");
}

// What a figure chooses of the session, and the state a figure before it
// left; the rest comes of the read or is worked out again by the steps.
void take_figure(Session& s, const Options& o) {
    s.range_kept = false;
    s.said_reference_salinity = s.said_mld_axis = false;
    section::plotcom = section::Plotcom{};
    take_options(s, o);
}

}  // namespace

std::vector<std::string> draw_figures(const std::vector<Options>& figures) {
    std::vector<std::string> results;
    auto session = std::make_unique<Session>();
    std::string held;  // the key of the files the session holds
    std::ostringstream quiet;
    // No window: the screen passes draw nothing anyone sees.
    screen::configure(true, false);
    screen::skip_unseen_drawing();
    for (const Options& o : figures) {
        daz::set_hardcopy_output(output_of(o));
        SectionAnswers answers(data::answer_naming(o.dive_files), o.section, quiet);
        miscli::console().set_answerer(&answers);
        std::string line;
        try {
            // A table turned to densities is read again for the next figure.
            const bool read = read_key(o) != held || session->density_converted;
            if (read) {
                held.clear();
                session = std::make_unique<Session>();
            } else {
                answers.file_read();
            }
            Session& t = *session;
            take_figure(t, o);
            if (read) {
                read_dive_file(t);
                held = read_key(o);
            } else {
                place_frame(t);
            }
            draw_read_file(t);
        } catch (miscli::ProgramStop& stop) {
            daz::close_open_plot();
            if (stop.status != 0) line = stop.line.empty() ? answers.take_last_line() : stop.line;
            if (stop.status != 0 && line.empty()) line = " the figure was not drawn";
        } catch (const std::exception& e) {
            daz::close_open_plot();
            held.clear();
            line = std::string(" Internal error: ") + e.what();
        }
        miscli::console().set_answerer(nullptr);
        quiet.str({});
        results.push_back(line);
    }
    return results;
}

}  // namespace app
