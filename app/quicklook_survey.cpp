// What a mission holds, from one read of its files in this process, the
// console lines kept from the terminal.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/quicklook_parts.h"
#include "data/read_dive_data.h"
#include "miscli/console.h"
#include "miscli/stop.h"
#include "section/frame_axes.h"

namespace app::quicklook {

namespace {

// Answers the reader's questions (Enter: the first fourth variable) and
// keeps its lines, the last of which says why a read failed.
class QuietReader final : public miscli::Answerer {
public:
    void console_line(std::string_view line) override { last = line; }
    void window_question(const miscli::Question&, std::string_view) override {}
    bool console_answer(const miscli::Question&, std::string& line) override {
        line.clear();
        return true;
    }
    bool window_answer(std::string&) override { return false; }
    std::string last;
};

class Installed {
public:
    explicit Installed(miscli::Answerer& a) { miscli::console().set_answerer(&a); }
    ~Installed() { miscli::console().set_answerer(nullptr); }
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;
};

}  // namespace

std::optional<Survey> survey(const std::string& mission, double recent_days, std::string& why) {
    Survey s;
    bool set = false;
    s.files = data::files_named(mission, set);
    data::FileHeader header;
    data::DiveTable t;
    QuietReader quiet;
    try {
        Installed installed(quiet);
        data::read_dive_data(mission, header, t);
    } catch (const miscli::ProgramStop& stop) {
        why = !stop.line.empty() ? stop.line : quiet.last;
        if (why.empty()) why = " it cannot be read";
        return std::nullopt;
    }
    if (!header.opened || header.n_read <= 0) {
        why = quiet.last.empty() ? " it holds no dives" : quiet.last;
        return std::nullopt;
    }
    s.fourth = header.offered;
    if (s.fourth.empty() && header.n_vars >= 4) s.own_fourth = header.column(4).name;
    s.profiler = header.profiler != data::Profiler::None;
    s.profiles = t.size();
    s.last_dive = t.dive_number(t.size());
    for (int d = 1; d <= t.size(); ++d) {
        if (const auto when = section::dive_time(t, d); when && std::isfinite(*when)) {
            s.first_time = s.first_time ? std::min(*s.first_time, *when) : *when;
            s.last_time = s.last_time ? std::max(*s.last_time, *when) : *when;
        }
        // A value the reader kept whose flag is not good: left out of the sections.
        for (int k = 1; k <= t.n_samp(d); ++k)
            for (int v = 2; v <= 3; ++v)
                if (t.prof_flag(k, d, v) != 0 && t.prof(k, d, v) > data::MISSING_BELOW) ++s.left_out;
    }
    if (s.last_time && s.first_time && *s.last_time - *s.first_time > recent_days)
        for (int d = 1; d <= t.size(); ++d)
            if (const auto when = section::dive_time(t, d); when && *when >= *s.last_time - recent_days) {
                s.recent_first = t.dive_number(d);
                break;
            }
    return s;
}

}  // namespace app::quicklook
