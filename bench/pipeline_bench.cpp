// The console pipeline on a large dive file (largest.SCI): reading,
// sorting and gridding every profile, loading a section.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <sstream>

#include "data/load_sec.h"
#include "data/rd_sci2.h"
#include "miscli/console.h"
#include "section/p_sort.h"
#include "section/smooth.h"

namespace {

const std::string kLargest = GLIDERSECT_BINARY_DIR "/largest.SCI";
constexpr int kDives = 800, kRoom = 500;  // what largest.SCI holds: dives; samples or bins a dive

struct Loaded {
    data::FileHeader h;
    std::unique_ptr<data::DiveTable> t = std::make_unique<data::DiveTable>();
    Loaded() {
        std::istringstream in;
        std::ostringstream out;
        miscli::ConsoleRedirect quiet(in, out);
        data::rd_sci2_(kLargest, h, *t);
    }
};

Loaded& largest() {
    static Loaded loaded;
    return loaded;
}

void BM_ReadLargestFile(benchmark::State& state) {
    auto t = std::make_unique<data::DiveTable>();
    data::FileHeader h;
    std::istringstream in;
    std::ostringstream out;
    miscli::ConsoleRedirect quiet(in, out);
    for (auto _ : state) {
        data::rd_sci2_(kLargest, h, *t);
        benchmark::DoNotOptimize(t->n_samp(1));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(kLargest)));
}
BENCHMARK(BM_ReadLargestFile)->Unit(benchmark::kMillisecond);

void BM_SortAndGridAllProfiles(benchmark::State& state) {
    auto& L = largest();
    auto prof = L.t->prof;
    auto flags = L.t->prof_flag;
    auto n = L.t->n_samp;
    miscli::RaggedArray2<float> val(kRoom, kDives), z(kRoom, kDives);
    miscli::Array2<float> grid(kRoom, kDives);
    miscli::Array1<int> sec_n(kDives);
    miscli::Array1<float> grid_z(kRoom + 1);
    miscli::Array1<int> work(kRoom);
    std::string label;
    int log = 0, adcp = 0, levels = 0;
    data::load_sec_(val, z, 1, L.h.n_dives, sec_n, 'T', label, log, adcp, *L.t, L.h.column(4).name);
    for (auto _ : state) {
        // Reversed profiles make the sort do its full work every round.
        state.PauseTiming();
        for (int d = 1; d <= L.h.n_dives; ++d)
            for (int k = 1; k <= n(d); ++k) prof(k, d, 1) = L.t->prof(n(d) + 1 - k, d, 1);
        state.ResumeTiming();
        section::p_sort_(L.h.n_dives, L.h.n_vars, n, prof, flags);
        section::smooth_(val, z, sec_n, 1, L.h.n_dives, grid_z, grid, work.span(), levels, 5.0f, -99.9f,
                         {0.0f, 500.0f});
        benchmark::DoNotOptimize(grid(1, 1));
    }
}
BENCHMARK(BM_SortAndGridAllProfiles)->Unit(benchmark::kMillisecond);

void BM_SortOrderedProfiles(benchmark::State& state) {
    auto& L = largest();
    auto prof = L.t->prof;
    auto flags = L.t->prof_flag;
    auto n = L.t->n_samp;
    for (auto _ : state) {
        section::p_sort_(L.h.n_dives, L.h.n_vars, n, prof, flags);
        benchmark::DoNotOptimize(prof(1, 1, 1));
    }
}
BENCHMARK(BM_SortOrderedProfiles)->Unit(benchmark::kMillisecond);

void BM_LoadSection(benchmark::State& state) {
    auto& L = largest();
    miscli::RaggedArray2<float> val(kRoom, kDives), z(kRoom, kDives);
    miscli::Array1<int> sec_n(kDives);
    std::string label;
    int log = 0, adcp = 0;
    const char code = static_cast<char>(state.range(0));
    for (auto _ : state) {
        data::load_sec_(val, z, 1, L.h.n_dives, sec_n, code, label, log, adcp, *L.t, L.h.column(4).name);
        benchmark::DoNotOptimize(val(1, 1));
    }
}
BENCHMARK(BM_LoadSection)->Arg('T')->Arg('D')->Arg('U')->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
