#pragma once
// The fixed-column sample lines of a dive file, read on a second thread
// while the dialogue's thread walks the file: it finds where each dive's
// lines lie and reads the free-format profiler lines (whose records may
// run over several lines, so only a reader of them knows where a dive
// ends). Each dive's samples go to room of their own in the dive table.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

#include "data/dive_table.h"

namespace data {

// Reads one sample line: pressure, then variables 2..n_vars with their
// flags. False when a field is not a number of its kind.
bool read_sample_line(std::string_view line, int n_vars, float value[5], int flag[5]);

// Stores one sample as the table keeps it: the pressure's flag comes from
// its range, since the file has none.
inline void store_sample(const float value[5], const int flag[5], int n_vars, float* const* prof, Flag* const* flags,
                         std::size_t k) {
    const float p = value[1];
    prof[1][k] = p;
    flags[1][k] = (p > -0.1f && p < 999.9f) ? 0 : 1;
    for (int v = 2; v <= n_vars; ++v) {
        prof[v][k] = value[v];
        flags[v][k] = as_flag(flag[v]);
    }
}

class SampleLines {
public:
    // `text` is the whole file, which stays in memory until finish().
    SampleLines(std::string_view text, int n_vars);
    ~SampleLines();
    SampleLines(const SampleLines&) = delete;
    SampleLines& operator=(const SampleLines&) = delete;

    // Dive d's `count` sample lines, the first at `from` in the text, into
    // variables 1..n_vars of its room in `t` (made by set_samples).
    // Text up to `from` holds no more sample lines to come.
    void add(int d, std::size_t from, int count, DiveTable& t);
    // Waits until every line given is read. The first line that could not
    // be read, as (dive, line of the dive), if any.
    struct Fault {
        int dive = 0, line = 0;
    };
    std::optional<Fault> finish();
    // The text before this is read (or not wanted any more).
    std::size_t read_up_to() const { return read_up_to_.load(std::memory_order_acquire); }

private:
    struct Dive {
        int d = 0;
        std::size_t from = 0;
        int count = 0;
        float* prof[5] = {};
        Flag* flags[5] = {};
    };
    void run();
    bool read(const Dive& dive);

    std::string_view text_;
    int n_vars_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Dive> waiting_;
    bool closing_ = false;
    std::optional<Fault> fault_;  // written by the thread until it ends
    std::atomic<std::size_t> read_up_to_{0};
    std::thread thread_;
};

}  // namespace data
