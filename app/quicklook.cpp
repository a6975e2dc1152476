#include "app/quicklook.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/quicklook_parts.h"
#include "data/read_dive_data.h"
#include "miscli/fixed_format.h"

extern char** environ;

namespace app {

namespace {

namespace fs = std::filesystem;
using quicklook::Choices;
using quicklook::Figure;
using quicklook::Survey;

constexpr const char* kUsage =
    " Usage: glidersect quicklook MISSION... -o DIR [--recent DAYS] [--upper DBAR] [--pdf] [--force]\n"
    "        glidersect quicklook --index DIR";

bool number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && value > 0 && value < 1e6;
}

// The options; false with the line that refuses them.
bool parse(const std::vector<std::string>& args, Choices& c, std::string& why) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_next = i + 1 < args.size();
        if (a == "-o" || a == "--index") {
            if (!has_next) return why = " " + a + " needs a folder", false;
            c.folder = args[++i];
            c.index_only = a == "--index";
        } else if (a == "--recent" || a == "--upper") {
            double v = 0;
            if (!has_next || !number(args[i + 1], v))
                return why = " " + a + " needs a number above 0 (" + (a == "--recent" ? "days" : "dbar") + ")", false;
            (a == "--recent" ? c.recent_days : c.upper_dbar) = v;
            ++i;
        } else if (a == "--pdf") {
            c.pdf = true;
        } else if (a == "--force") {
            c.force = true;
        } else if (!a.empty() && a[0] == '-') {
            return why = " Unknown quicklook option " + a + "\n" + kUsage, false;
        } else {
            c.missions.push_back(a);
        }
    }
    if (c.folder.empty()) return why = std::string(" Name the folder of the quick-looks with -o DIR\n") + kUsage, false;
    if (!c.index_only && c.missions.empty()) return why = std::string(" Name at least one mission\n") + kUsage, false;
    return true;
}

// A mission's name: its file's without the extension, or its folder's.
std::string mission_name(const std::string& mission) {
    fs::path p(mission);
    while (!p.empty() && p.filename().empty()) p = p.parent_path();  // "archive/m01/"
    const std::string leaf = p.filename().string();
    std::string name = leaf.find_first_of("*?") != std::string::npos ? p.parent_path().filename().string()
                       : fs::is_directory(p)                          ? leaf
                                                                      : p.stem().string();
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '-' && ch != '_' && ch != '.') ch = '_';
    return name.empty() ? std::string("mission") : name;
}

// "7", or "1.5": a number of days or dbar in words.
std::string amount(double v) {
    if (v == std::floor(v)) return std::to_string(static_cast<long long>(v));
    return miscli::fmt_f(v, 0, 1);
}

// Chlorophyll, fluorescence and backscatter span decades: drawn on a log scale.
bool log_scaled(const std::string& name) {
    std::string low;
    for (char ch : name) low += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (const char* word : {"chl", "fluor", "bb", "backscat"})
        if (low.find(word) != std::string::npos) return true;
    return false;
}

double now_days() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count() / 86400.0;
}

// Runs this program on one figure; false with its last line on failure.
bool draw(const std::vector<std::string>& args, const fs::path& folder, std::string& why) {
    const std::string errors = (folder / ".errors").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    std::string self = "glidersect";
    argv.push_back(self.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return why = " cannot run the figure's drawing", false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const std::string text = quicklook::read_text(errors).value_or("");
    std::error_code ec;
    fs::remove(errors, ec);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    std::string last = text.substr(0, text.find_last_not_of('\n') + 1);
    last = last.substr(last.find_last_of('\n') + 1);
    why = last.empty() ? std::string(" the drawing ended abnormally") : last;
    return false;
}

enum class Outcome { Drawn, Skipped, Failed };

Outcome one_mission(const std::string& mission, const Choices& c, std::string& why) {
    // Two missions of one name (archive/a/mission.nc, archive/b/mission.nc)
    // keep apart: the second takes a mark of its path.
    std::error_code ec;
    const std::string source = fs::absolute(mission, ec).lexically_normal().string();
    std::string name = mission_name(mission);
    if (const auto owner = quicklook::read_text((fs::path(c.folder) / name / "source.txt").string());
        owner && *owner != source + "\n") {
        std::uint32_t h = 2166136261u;
        for (unsigned char ch : source) h = (h ^ ch) * 16777619u;
        char mark[9];
        std::snprintf(mark, sizeof mark, "%08x", h);
        name += std::string("-") + mark;
    }
    const fs::path folder = fs::path(c.folder) / name;
    fs::create_directories(folder, ec);
    if (ec) return why = " cannot make the folder " + folder.string() + ": " + ec.message(), Outcome::Failed;
    if (!fs::exists(folder / "source.txt", ec) && !quicklook::write_whole((folder / "source.txt").string(), source + "\n", why))
        return Outcome::Failed;

    // Unchanged inputs (sizes, times and contents) are not read again.
    bool set = false;
    const std::string record = quicklook::input_record(data::files_named(mission, set));
    if (!c.force && quicklook::read_text((folder / "inputs.txt").string()) == record &&
        fs::exists(folder / "index.html", ec))
        return Outcome::Skipped;
    std::optional<Survey> s = quicklook::survey(mission, c.recent_days, why);
    if (!s) return Outcome::Failed;

    const std::string drawn = quicklook::utc_text(now_days());
    std::string stamp = name;
    if (s->last_time) stamp += " · data to " + quicklook::utc_text(*s->last_time);
    stamp += " · drawn " + drawn + " · " + std::to_string(s->left_out) + " samples left out by QC";
    std::string title = name.substr(0, 45);

    struct Variable {
        std::string letter, file, words, var4;
        bool log = false;
    };
    std::vector<Variable> variables{{"T", "temperature", "Temperature", "", false},
                                    {"S", "salinity", "Salinity", "", false},
                                    {"D", "sigma_theta", "Sigma-theta", "", false}};
    for (const std::string& v : s->fourth) variables.push_back({"4", mission_name(v), v, v, log_scaled(v)});
    if (!s->own_fourth.empty()) variables.push_back({"4", mission_name(s->own_fourth), s->own_fourth, "", log_scaled(s->own_fourth)});
    if (s->profiler) {
        variables.push_back({"U", "east_velocity", "East velocity", "", false});
        variables.push_back({"V", "north_velocity", "North velocity", "", false});
    }
    struct View {
        std::string file, words;
        std::vector<std::string> args;
    };
    std::vector<View> views{{"mission", "whole mission", {}}};
    if (s->recent_first)
        views.push_back({"recent", "last " + amount(c.recent_days) + " days",
                         {"--dives", std::to_string(*s->recent_first) + ":" + std::to_string(s->last_dive)}});
    views.push_back({"upper", "upper " + amount(c.upper_dbar) + " dbar",
                     {"--range", "0," + miscli::fmt_f(c.upper_dbar, 0, 1)}});

    std::vector<Figure> figures;
    std::string failed;
    for (const Variable& v : variables)
        for (const View& view : views) {
            const std::string file = v.file + "_" + view.file;
            std::vector<std::string> args = s->files;
            for (const char* a : {"--style", "modern", "--x", "time", "--contour", "D", "--dpi", "100"}) args.emplace_back(a);
            args.insert(args.end(), {"--color", v.letter, "--title", title, "--stamp", stamp});
            if (!v.var4.empty()) args.insert(args.end(), {"--var4", v.var4});
            if (v.log) args.emplace_back("--log");
            args.insert(args.end(), view.args.begin(), view.args.end());
            for (const char* format : {"png", "pdf"}) {
                if (std::string(format) == "pdf" && !c.pdf) continue;
                std::vector<std::string> one = args;
                one.insert(one.end(), {"-o", (folder / (file + "." + format)).string()});
                std::string reason;
                if (!draw(one, folder, reason)) {
                    failed = reason;
                    break;
                }
                if (std::string(format) == "png") figures.push_back({file + ".png", v.words + ", " + view.words});
            }
        }
    // The track, where the dives have positions.
    std::vector<std::string> map = s->files;
    map.insert(map.end(), {"--map", "--style", "modern", "--title", title, "--stamp", stamp, "--dpi", "100", "-o",
                           (folder / "track.png").string()});
    if (std::string reason; !figures.empty() && draw(map, folder, reason)) figures.push_back({"track.png", "Track"});
    if (figures.empty()) return why = failed.empty() ? " nothing to draw" : failed, Outcome::Failed;

    // The page and the record last: a run stopped before leaves the old ones.
    std::string list = name + "\n" + (s->last_time ? quicklook::utc_text(*s->last_time) : std::string("no times")) +
                       "\n" + drawn + "\n";
    for (const Figure& f : figures) list += f.file + "\n";
    if (!quicklook::write_whole((folder / "index.html").string(), quicklook::mission_page(name, *s, figures, drawn), why) ||
        !quicklook::write_whole((folder / "mission.txt").string(), list, why) ||
        !quicklook::write_whole((folder / "inputs.txt").string(), record, why))
        return Outcome::Failed;
    return Outcome::Drawn;
}

}  // namespace

int run_quicklook(const std::vector<std::string>& args) {
    const auto start = std::chrono::steady_clock::now();
    Choices c;
    std::string why;
    if (!parse(args, c, why)) {
        std::cerr << why << '\n';
        return 1;
    }
    std::error_code ec;
    fs::create_directories(c.folder, ec);
    if (ec) {
        std::cerr << " Cannot make the folder " << c.folder << ": " << ec.message() << '\n';
        return 1;
    }
    int drawn = 0, skipped = 0, failed = 0;
    for (const std::string& m : c.missions) {
        std::string reason;
        switch (one_mission(m, c, reason)) {
        case Outcome::Drawn: ++drawn; break;
        case Outcome::Skipped: ++skipped; break;
        case Outcome::Failed:
            ++failed;
            std::cerr << " " << m << ":" << (reason.starts_with(" ") ? "" : " ") << reason << '\n';
            break;
        }
    }
    if (!quicklook::write_index(c.folder, why)) {
        std::cerr << why << '\n';
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!c.index_only)
        std::cout << " Quicklook: " << drawn << " drawn, " << skipped << " skipped, " << failed << " failed in "
                  << miscli::fmt_f(seconds, 0, 1) << " s\n";
    return failed > 0 ? 1 : 0;
}

}  // namespace app
