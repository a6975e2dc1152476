#include "app/figure_batch.h"

#include <exception>

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

std::string files_of(const Options& o) {
    std::string key;
    for (const std::string& f : o.dive_files) key += f + '\n';
    return key;
}

// The fourth variable a read gives: the one named, or the first offered.
std::string fourth_of(const Options& o, const Session& s) {
    if (o.section.var4 && !o.section.var4->empty()) return *o.section.var4;
    return s.header.offered.empty() ? std::string() : s.header.offered.front();
}

// What a figure chooses of the session, and the state a figure before it
// left; the rest comes of the read or is worked out again by the steps.
void take_figure(Session& s, const Options& o) {
    s.range_kept = false;
    s.said_reference_salinity = s.said_mld_axis = false;
    section::plotcom = section::Plotcom{};
    take_options(s, o);
}

// The line that ends a run that stopped.
std::string stop_line(const miscli::ProgramStop& stop, SectionAnswers& answers) {
    if (stop.status == 0) return {};
    std::string line = stop.line.empty() ? answers.take_last_line() : stop.line;
    return line.empty() ? std::string(" the figure was not drawn") : line;
}

}  // namespace

FigureRun::FigureRun() : session_(std::make_unique<Session>()) {
    // No window: the screen passes draw nothing anyone sees.
    screen::configure(true, false);
    screen::skip_unseen_drawing();
}

FigureRun::~FigureRun() = default;

bool FigureRun::holds(const Options& o) const {
    // A table turned to densities is read again.
    return held_ && !session_->density_converted && files_ == files_of(o) && var4_ == fourth_of(o, *session_);
}

const Session* FigureRun::read(const Options& o, std::string& why) {
    if (holds(o)) return session_.get();
    held_ = false;
    SectionAnswers answers(data::answer_naming(o.dive_files), o.section, quiet_);
    AnswersInstalled installed(answers, false);
    try {
        session_ = std::make_unique<Session>();
        take_figure(*session_, o);
        read_dive_file(*session_);
    } catch (miscli::ProgramStop& stop) {
        why = stop_line(stop, answers);
        if (why.empty()) why = " it holds no dives";
        return nullptr;
    }
    files_ = files_of(o);
    var4_ = fourth_of(o, *session_);
    held_ = true;
    quiet_.str({});
    return session_.get();
}

std::string FigureRun::draw(const Options& o) {
    std::string why;
    if (!read(o, why)) return why;
    daz::set_hardcopy_output(output_of(o));
    SectionAnswers answers(data::answer_naming(o.dive_files), o.section, quiet_);
    answers.file_read();
    AnswersInstalled installed(answers, false);
    std::string line;
    try {
        Session& s = *session_;
        take_figure(s, o);
        place_frame(s);
        draw_read_file(s);
    } catch (miscli::ProgramStop& stop) {
        daz::close_open_plot();
        line = stop_line(stop, answers);
    } catch (const std::exception& e) {
        daz::close_open_plot();
        held_ = false;
        line = std::string(" Internal error: ") + e.what();
    }
    quiet_.str({});
    return line;
}

}  // namespace app
