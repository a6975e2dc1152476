// Stroke text speed: a section title with escapes drawn into a hardcopy
// file, and measured for centring.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "daz/letter_pen.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/console.h"

namespace {

namespace fs = std::filesystem;

// 60 characters: complex font, a superscript, Greek with a subscript.
constexpr std::string_view kTitle = "\\CO\\Temperature (\\sup{o}C), \\sigma\\\\sub{\\theta\\}, Dives 2-48";
static_assert(kTitle.size() == 60);

// A scratch folder for the hardcopy, and the console kept quiet.
class Scratch {
public:
    Scratch() : redirect_(in_, out_) {
        dir_ = fs::temp_directory_path() / ("glidersect-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        old_ = fs::current_path();
        fs::current_path(dir_);
    }
    ~Scratch() {
        fs::current_path(old_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // A fresh file, so the one written stays small.
    void reopen() {
        daz::plclosnow_();
        fs::remove(dir_ / "OUT01.EPS");
        daz::plopen_('H', 'X');
    }

private:
    std::istringstream in_;
    std::ostringstream out_;
    miscli::ConsoleRedirect redirect_;
    fs::path dir_, old_;
};

void BM_LetterTitleToHardcopy(benchmark::State& state) {
    Scratch scratch;
    daz::plopen_('H', 'X');
    std::int64_t drawn = 0;
    for (auto _ : state) {
        daz::ofset.font = 0;
        daz::letter_(1.0f, 7.5f, 0.2f, 0.0f, kTitle);
        if (++drawn % 2000 == 0) {
            state.PauseTiming();
            scratch.reopen();
            state.ResumeTiming();
        }
    }
    daz::plclosnow_();
    state.SetItemsProcessed(drawn);
}
BENCHMARK(BM_LetterTitleToHardcopy)->Unit(benchmark::kMicrosecond);

// The same title with its strokes dropped: the text's own share.
void ignore_stroke(float, float, int) {}

void BM_LetterTitleStrokesOnly(benchmark::State& state) {
    const daz::LetterPen old = daz::set_letter_pen(&ignore_stroke);
    for (auto _ : state) {
        daz::ofset.font = 0;
        daz::letter_(1.0f, 7.5f, 0.2f, 0.0f, kTitle);
    }
    daz::set_letter_pen(old);
}
BENCHMARK(BM_LetterTitleStrokesOnly)->Unit(benchmark::kMicrosecond);

// The title's strokes sent straight to ploti_: the device's share.
struct Stroke {
    float x, y;
    int pen;
};
std::vector<Stroke> title_strokes;
void keep_stroke(float x, float y, int pen) { title_strokes.push_back({x, y, pen}); }

void BM_PlotiTitleStrokes(benchmark::State& state) {
    const daz::LetterPen old = daz::set_letter_pen(&keep_stroke);
    title_strokes.clear();
    daz::ofset.font = 0;
    daz::letter_(1.0f, 7.5f, 0.2f, 0.0f, kTitle);
    daz::set_letter_pen(old);
    Scratch scratch;
    daz::plopen_('H', 'X');
    std::int64_t drawn = 0;
    for (auto _ : state) {
        for (const Stroke& s : title_strokes) daz::ploti_(s.x, s.y, s.pen);
        if (++drawn % 2000 == 0) {
            state.PauseTiming();
            scratch.reopen();
            state.ResumeTiming();
        }
    }
    daz::plclosnow_();
    state.counters["strokes"] = static_cast<double>(title_strokes.size());
}
BENCHMARK(BM_PlotiTitleStrokes)->Unit(benchmark::kMicrosecond);

void BM_JustyTitle(benchmark::State& state) {
    std::array<float, 4> r{};
    for (auto _ : state) {
        daz::ofset.font = 0;
        daz::justy_(r, 0.2f, kTitle);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_JustyTitle)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
