// A redraw of the largest section on the headless canvas: the "S" answer's
// drawing of the temperature section of largest.SCI with its sigma-theta
// contours, the same calls the plot loop makes, without the waits for the
// user (the label editor and the menu); and the same picture written as
// the EPS hardcopy.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "app/session.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/console.h"
#include "screen/screen.h"
#include "section/lin_plot.h"
#include "section/pix_plot.h"
#include "section/plotcom.h"

namespace {

const std::string kLargest = GLIDERSECT_BINARY_DIR "/largest.SCI";

// The dialogue's answers up to the prepared section, as whole_run.sh types
// them for the "T with D contours" session.
app::Session& prepared() {
    static app::Session s = [] {
        app::Session s;
        std::istringstream in(kLargest + "\nclick\nkey G\ntype 1 800\nN\nS\nT\nD\nS\n0 500\n");
        std::ostringstream out;
        miscli::ConsoleRedirect quiet(in, out);
        screen::configure(true, false);
        app::read_dive_file(s);
        app::choose_track_and_axis(s);
        app::choose_variables(s);
        app::prepare_section(s);
        s.title_text = "Largest file";
        s.device_code = 'H';  // leaves out the label editor's wait
        return s;
    }();
    return s;
}

// The section's drawing, on whatever device is open.
void draw_page(app::Session& s) {
    daz::linwid_(20);
    app::draw_section(s);
    app::page_words(s, section::plotcom.top, section::plotcom.bottom);
}

void BM_RedrawLargestSection(benchmark::State& state) {
    app::Session& s = prepared();
    std::istringstream in;
    std::ostringstream out;
    miscli::ConsoleRedirect quiet(in, out);
    for (auto _ : state) {
        daz::plopen_('S', 'X');
        draw_page(s);
        screen::present_window();
        benchmark::DoNotOptimize(screen::pixel_at(500, 400));
    }
    daz::plclosnow_();
    state.counters["levels"] = s.n_levels;
    state.counters["dives"] = s.last_dive - s.first_dive + 1;
}
BENCHMARK(BM_RedrawLargestSection)->Unit(benchmark::kMillisecond);

// The same section as the EPS hardcopy, from opening the file to its name.
void BM_HardcopyLargestSection(benchmark::State& state) {
    namespace fs = std::filesystem;
    app::Session& s = prepared();
    std::istringstream in;
    std::ostringstream out;
    miscli::ConsoleRedirect quiet(in, out);
    const fs::path dir = fs::temp_directory_path() / ("glidersect-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path old = fs::current_path();
    fs::current_path(dir);
    for (auto _ : state) {
        fs::remove(dir / "OUT01.EPS");
        daz::plopen_('H', 'X');
        draw_page(s);
        daz::plclosnow_();
    }
    state.counters["MB"] = static_cast<double>(fs::file_size(dir / "OUT01.EPS")) / 1e6;
    fs::current_path(old);
    fs::remove_all(dir);
}
BENCHMARK(BM_HardcopyLargestSection)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
