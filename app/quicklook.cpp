#include "app/quicklook.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/figure_batch.h"
#include "app/options.h"
#include "app/quicklook_parts.h"
#include "data/read_dive_data.h"
#include "miscli/fixed_format.h"

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

// The options of each figure, as its command line would give them; a
// figure whose options are refused keeps the refusal in `refused`.
std::vector<Options> figure_options(const std::vector<std::vector<std::string>>& commands,
                                    std::vector<std::string>& refused) {
    std::vector<Options> all;
    for (const std::vector<std::string>& command : commands) {
        std::vector<std::string> words{"glidersect"};
        words.insert(words.end(), command.begin(), command.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        Options o;
        std::string error;
        if (!parse_options(static_cast<int>(argv.size()), argv.data(), o, error)) refused.push_back(error);
        else refused.emplace_back();
        all.push_back(std::move(o));
    }
    return all;
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
    FigureRun run;
    std::optional<Survey> s = quicklook::survey(mission, run, c.recent_days, why);
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
    // The figures of other variables read the first fourth variable, so
    // that one read serves them all.
    const std::string first4 = s->fourth.empty() ? std::string() : s->fourth.front();
    std::vector<Variable> variables{{"T", "temperature", "Temperature", first4, false},
                                    {"S", "salinity", "Salinity", first4, false},
                                    {"D", "sigma_theta", "Sigma-theta", first4, false}};
    for (const std::string& v : s->fourth) variables.push_back({"4", mission_name(v), v, v, log_scaled(v)});
    if (!s->own_fourth.empty()) variables.push_back({"4", mission_name(s->own_fourth), s->own_fourth, "", log_scaled(s->own_fourth)});
    if (s->profiler) {
        variables.push_back({"U", "east_velocity", "East velocity", first4, false});
        variables.push_back({"V", "north_velocity", "North velocity", first4, false});
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

    // Each figure's command line, drawn in this process from one read of
    // the files for all that share their fourth variable: the stacked page
    // of every variable first, then each variable in each view, the track.
    struct Planned {
        std::vector<std::string> args;
        std::string file, what;
    };
    std::vector<Planned> planned;
    const auto section_args = [&](const Variable& v) {
        std::vector<std::string> args = s->files;
        for (const char* a : {"--style", "modern", "--x", "time", "--contour", "D", "--dpi", "100"}) args.emplace_back(a);
        args.insert(args.end(), {"--title", title, "--stamp", stamp});
        if (!v.var4.empty()) args.insert(args.end(), {"--var4", v.var4});
        if (v.log) args.emplace_back("--log");
        return args;
    };
    const auto plan = [&](std::vector<std::string> args, const std::string& file, const std::string& what) {
        for (const char* format : {"png", "pdf"}) {
            if (std::string(format) == "pdf" && !c.pdf) continue;
            std::vector<std::string> one = args;
            one.insert(one.end(), {"-o", (folder / (file + "." + format)).string()});
            planned.push_back({one, file + "." + format, what});
        }
    };
    {
        // One fourth variable a page: the first the mission offers.
        std::string letters;
        Variable page{"", "", "", "", false};
        for (const Variable& v : variables) {
            if (v.letter == "4" && letters.find('4') != std::string::npos) continue;
            letters += v.letter;
            if (v.letter == "4") page = v;
        }
        std::vector<std::string> args = section_args(page);
        args.insert(args.end(), {"--stack", letters});
        if (letters.size() >= 2) plan(args, "all_variables", "All variables, whole mission");
    }
    for (const Variable& v : variables)
        for (const View& view : views) {
            std::vector<std::string> args = section_args(v);
            args.insert(args.end(), {"--color", v.letter});
            args.insert(args.end(), view.args.begin(), view.args.end());
            plan(args, v.file + "_" + view.file, v.words + ", " + view.words);
        }
    std::vector<std::string> map = s->files;
    map.insert(map.end(), {"--map", "--style", "modern", "--title", title, "--stamp", stamp, "--dpi", "100"});
    if (!first4.empty()) map.insert(map.end(), {"--var4", first4});
    plan(map, "track", "Track");

    std::vector<std::vector<std::string>> commands;
    for (const Planned& p : planned) commands.push_back(p.args);
    std::vector<std::string> refused;
    const std::vector<Options> options = figure_options(commands, refused);
    // Drawn grouped by the fourth variable they read, the first first.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < options.size(); ++i)
        if (refused[i].empty()) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const auto rank = [&](std::size_t i) {
            const std::string v = options[i].section.var4.value_or("");
            return v == first4 ? std::string() : v;
        };
        return rank(a) < rank(b);
    });
    std::vector<std::string> results(options.size());
    for (std::size_t i : order) results[i] = run.draw(options[i]);
    std::vector<Figure> figures;
    std::string failed;
    for (std::size_t i = 0; i < planned.size(); ++i) {
        const std::string reason = refused[i].empty() ? results[i] : refused[i];
        // The track is drawn where the dives have positions; without, it is left out.
        if (!reason.empty()) {
            if (planned[i].file.rfind("track.", 0) != 0) failed = reason;
            continue;
        }
        if (planned[i].file.ends_with(".png")) figures.push_back({planned[i].file, planned[i].what});
    }
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

// Draws the mission in a process of its own, so that whatever befalls its
// drawing ends with it and no state of one mission reaches the next.
Outcome isolated(const std::string& mission, const Choices& c, std::string& why) {
    int ends[2];
    if (pipe(ends) != 0) return why = " cannot start its drawing", Outcome::Failed;
    std::cout.flush();
    const pid_t pid = fork();
    if (pid < 0) {
        close(ends[0]);
        close(ends[1]);
        return why = " cannot start its drawing", Outcome::Failed;
    }
    if (pid == 0) {
        close(ends[0]);
        std::string reason;
        const Outcome outcome = one_mission(mission, c, reason);
        const std::string report = std::to_string(static_cast<int>(outcome)) + reason;
        std::size_t done = 0;
        while (done < report.size()) {
            const ssize_t n = write(ends[1], report.data() + done, report.size() - done);
            if (n <= 0 && errno != EINTR) break;
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(ends[1]);
    std::string report;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(ends[0], buffer, sizeof buffer);
        if (n > 0) report.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR) break;
    }
    close(ends[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || report.empty()) {
        why = WIFSIGNALED(status) ? " its drawing ended abnormally (signal " + std::to_string(WTERMSIG(status)) + ")"
                                  : std::string(" its drawing ended abnormally");
        return Outcome::Failed;
    }
    why = report.substr(1);
    return static_cast<Outcome>(report[0] - '0');
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
        switch (isolated(m, c, reason)) {
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
