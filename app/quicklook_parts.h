#pragma once
// The parts of a quick-look run: what a mission holds (read once, here),
// the figures drawn of it, the record of its input files, and the pages.
#include <optional>
#include <string>
#include <vector>

namespace app {
class FigureRun;
}

namespace app::quicklook {

struct Choices {
    std::vector<std::string> missions;
    std::string folder;       // -o DIR
    double recent_days = 7;   // --recent
    double upper_dbar = 200;  // --upper
    bool pdf = false;         // --pdf: a PDF beside each PNG
    bool force = false;       // --force: draw even what has not changed
    bool index_only = false;  // --index DIR
};

// What a mission holds, from one read of its files.
struct Survey {
    std::vector<std::string> files;    // its input files
    std::vector<std::string> fourth;   // the fourth variables it offers (a netCDF mission)
    std::string own_fourth;            // a dive file's own fourth variable, by its name
    bool profiler = false;             // it has a current profiler
    int profiles = 0;
    std::optional<double> first_time, last_time;  // [days since 1970]
    std::optional<int> recent_first;   // the first dive number of the last days
    int last_dive = 0;
    long left_out = 0;                 // samples with a value that QC calls bad
};

// Reads the mission for the run that draws its figures; nullopt with the
// reason when it cannot be read.
std::optional<Survey> survey(const std::string& mission, FigureRun& run, double recent_days, std::string& why);

// The input record: a line for each file, its size, time and content hash.
std::string input_record(const std::vector<std::string>& files);

// Writes text to `path` whole or not at all; false with the reason.
bool write_whole(const std::string& path, const std::string& text, std::string& why);
std::optional<std::string> read_text(const std::string& path);

struct Figure {
    std::string file;   // in the mission's folder
    std::string what;   // its caption
};

// The mission's own page, and the index of every mission in the folder
// (each folder holding a mission.txt), rebuilt under a lock.
std::string mission_page(const std::string& name, const Survey& s, const std::vector<Figure>& figures,
                         const std::string& drawn);
bool write_index(const std::string& folder, std::string& why);

// "2019-06-13 12:00 UTC".
std::string utc_text(double days);

}  // namespace app::quicklook
