// What a mission holds, from the read of its files that its figures share.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/figure_batch.h"
#include "app/quicklook_parts.h"
#include "app/session.h"
#include "data/read_dive_data.h"
#include "section/frame_axes.h"

namespace app::quicklook {

std::optional<Survey> survey(const std::string& mission, FigureRun& run, double recent_days, std::string& why) {
    Survey s;
    bool set = false;
    s.files = data::files_named(mission, set);
    // The figures name the files one by one, as found here: the same read
    // serves them.
    Options read;
    read.dive_files = s.files.empty() ? std::vector<std::string>{mission} : s.files;
    const Session* session = run.read(read, why);
    if (!session) return std::nullopt;
    const data::FileHeader& header = session->header;
    const data::DiveTable& t = session->dives;
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
