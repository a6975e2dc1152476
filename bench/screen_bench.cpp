// Canvas and EPS writer at the size of the largest section: 400,000 filled
// cells and 200,000 strokes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <sstream>
#include <filesystem>
#include <vector>

#include "daz/plot_device.h"
#include "daz/shade.h"
#include "miscli/console.h"
#include "screen/screen.h"

namespace {

constexpr int kCols = 800, kRows = 500;  // 400,000 cells
constexpr int kStrokes = 200000;

void BM_CanvasCellsAndStrokes(benchmark::State& state) {
    screen::configure(true, false);
    daz::plopen_('S', 'X');
    std::vector<float> x(4), y(4);
    for (auto _ : state) {
        for (int i = 0; i < kCols; ++i)
            for (int j = 0; j < kRows; ++j) {
                float x0 = 0.8f + i * 0.009f, y0 = 0.8f + j * 0.0128f;
                x = {x0, x0 + 0.009f, x0 + 0.009f, x0};
                y = {y0, y0, y0 + 0.0128f, y0 + 0.0128f};
                daz::rgbcolor_(i / float(kCols), j / float(kRows), 0.5f);
                screen::igrpolygoncomplex_(x, y, 4);
            }
        daz::rgbcolor_(0, 0, 0);
        for (int k = 0; k < kStrokes; ++k) {
            float t = k * 0.0001f;
            daz::ploti_(1 + (k % 700) * 0.01f, 1 + t * 0.3f, k % 50 == 0 ? 3 : 2);
        }
        screen::present_window();
    }
    daz::plclosnow_();
}
BENCHMARK(BM_CanvasCellsAndStrokes)->Unit(benchmark::kMillisecond);

void BM_EpsCellsAndStrokes(benchmark::State& state) {
    auto dir = std::filesystem::temp_directory_path() / "glidersect-bench-eps";
    std::filesystem::create_directories(dir);
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::ostringstream sink;
    std::istringstream none;
    miscli::ConsoleRedirect quiet(none, sink);
    for (auto _ : state) {
        std::filesystem::remove(dir / "OUT01.EPS");
        daz::plopen_('H', 'X');
        for (int i = 0; i < kCols; ++i)
            for (int j = 0; j < kRows; ++j) {
                // A filled cell one at a time: colour, then the rectangle.
                float x0 = 0.8f + i * 0.009f, y0 = 0.8f + j * 0.0128f;
                daz::rgbcolor_(i / float(kCols), j / float(kRows), 0.5f);
                daz::shaderect_(x0, y0, x0 + 0.009f, y0 + 0.0128f);
            }
        for (int k = 0; k < kStrokes; ++k) {
            float t = k * 0.0001f;
            daz::ploti_(1 + (k % 700) * 0.01f, 1 + t * 0.3f, k % 50 == 0 ? 3 : 2);
        }
        daz::plclosnow_();
    }
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_EpsCellsAndStrokes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
