#include "data/sample_lines.h"

#include "miscli/fixed_read.h"
#include "miscli/line_file.h"
#include "miscli/quiet_thread.h"

namespace data {

bool read_sample_line(std::string_view line, int n_vars, float value[5], int flag[5]) {
    static constexpr int decimals[5] = {0, 1, 3, 3, 4};
    static constexpr int widths[5] = {0, 6, 9, 9, 9};
    miscli::FixedReader r(line);
    value[1] = r.f(6, 1);
    for (int v = 2; v <= n_vars; ++v) {
        value[v] = r.f(widths[v], decimals[v]);
        flag[v] = r.i(2);
    }
    return r.ok();
}

SampleLines::SampleLines(std::string_view text, int n_vars) : text_(text), n_vars_(n_vars) {
    thread_ = miscli::start_quiet_thread([this] { run(); });
}

SampleLines::~SampleLines() { finish(); }

void SampleLines::add(int d, std::size_t from, int count, DiveTable& t) {
    Dive dive{d, from, count};
    for (int v = 1; v <= n_vars_; ++v) {
        dive.prof[v] = t.prof.column(d, v).data();
        dive.flags[v] = t.prof_flag.column(d, v).data();
    }
    {
        std::lock_guard lock(mutex_);
        waiting_.push_back(dive);
    }
    changed_.notify_one();
}

bool SampleLines::read(const Dive& dive) {
    std::size_t at = dive.from;
    float value[5] = {};
    int flag[5] = {};
    for (int k = 0; k < dive.count; ++k) {
        const std::string_view line = miscli::take_line(text_, at);
        if (!read_sample_line(line, n_vars_, value, flag)) {
            fault_ = Fault{dive.d, k + 1};
            return false;
        }
        store_sample(value, flag, n_vars_, dive.prof, dive.flags, static_cast<std::size_t>(k));
    }
    read_up_to_.store(at, std::memory_order_release);
    return true;
}

void SampleLines::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !waiting_.empty() || closing_; });
        if (waiting_.empty()) return;
        const Dive dive = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        // Past the first fault nothing more is read: the file stops there.
        const bool ok = read(dive);
        lock.lock();
        if (!ok) return;
    }
}

std::optional<SampleLines::Fault> SampleLines::finish() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        changed_.notify_one();
        thread_.join();
    }
    return fault_;
}

}  // namespace data
