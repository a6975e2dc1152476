#include "data/dive_lines.h"

#include <algorithm>
#include <utility>

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

RecordLine read_record_line(std::string_view line, float value[5], int flag[3]) {
    std::string_view item[8];
    const int found = miscli::list_tokens(line, item, 8);
    // In record order: depth, u, v, flag 1, column 4, flag 2, column 5, flag 3.
    static constexpr int real_at[8] = {0, 1, 2, -1, 3, -1, 4, -1};
    static constexpr int flag_at[8] = {-1, -1, -1, 0, -1, 1, -1, 2};
    for (int i = 0; i < found; ++i) {
        const std::size_t n = static_cast<std::size_t>(i);
        const bool ok = real_at[n] >= 0 ? miscli::read_real_token(item[n], value[real_at[n]])
                                        : miscli::read_int_token(item[n], flag[flag_at[n]]);
        if (!ok) return RecordLine::Bad;
    }
    return found == 8 ? RecordLine::Read : RecordLine::Short;
}

DiveLines::DiveLines(int n_vars) : n_vars_(n_vars) {
    thread_ = miscli::start_quiet_thread([this] { run(); });
}

void DiveLines::add(int d, std::string text, int n_samples, std::size_t records_at, int n_records, DiveTable& t) {
    Dive dive{d, std::move(text), records_at, n_samples, n_records};
    for (int v = 1; v <= n_vars_; ++v) {
        dive.prof[v] = t.prof.column(d, v).data();
        dive.prof_flag[v] = t.prof_flag.column(d, v).data();
    }
    for (int c = 1; c <= 5; ++c) dive.adcp[c] = t.adcp.column(d, c).data();
    for (int c = 1; c <= 3; ++c) dive.adcp_flag[c] = t.adcp_flag.column(d, c).data();
    {
        std::lock_guard lock(mutex_);
        waiting_bytes_ += dive.text.size();
        ++unread_;
        dives_.push_back(std::move(dive));
    }
    changed_.notify_all();
}

std::optional<DiveLines::Fault> DiveLines::read(const Dive& dive) const {
    const std::string_view text = dive.text;
    std::size_t at = 0;
    float value[5] = {};
    int flag[5] = {};
    for (int k = 0; k < dive.n_samples; ++k) {
        if (!read_sample_line(miscli::take_line(text, at), n_vars_, value, flag))
            return Fault{{dive.d, FilePlace::Samples, k + 1}};
        dive.prof[1][k] = value[1];
        dive.prof_flag[1][k] = pressure_flag(value[1]);
        for (int v = 2; v <= n_vars_; ++v) {
            dive.prof[v][k] = value[v];
            dive.prof_flag[v][k] = as_flag(flag[v]);
        }
    }
    at = dive.records_at;
    for (int j = 0; j < dive.n_records; ++j) {
        const RecordLine r = read_record_line(miscli::take_line(text, at), value, flag);
        if (r != RecordLine::Read) return Fault{{dive.d, FilePlace::Records, j + 1}, r == RecordLine::Short};
        for (int c = 1; c <= 5; ++c) dive.adcp[c][j] = value[c - 1];
        for (int c = 1; c <= 3; ++c) dive.adcp_flag[c][j] = as_flag(flag[c - 1]);
    }
    return std::nullopt;
}

// Reads the dive taken under `lock` with the lock let go meanwhile, and
// keeps the first fault in file order.
void DiveLines::read_taken(Dive& dive, std::unique_lock<std::mutex>& lock) {
    const std::size_t size = dive.text.size();
    lock.unlock();
    const std::optional<Fault> f = read(dive);
    std::string().swap(dive.text);  // its room goes to the dives to come
    lock.lock();
    if (f && (!fault_ || f->place < fault_->place)) fault_ = f;
    waiting_bytes_ -= size;
    --unread_;
    changed_.notify_all();
}

bool DiveLines::read_one() {
    std::unique_lock lock(mutex_);
    if (next_ == dives_.size()) return false;
    read_taken(dives_[next_++], lock);
    return true;
}

void DiveLines::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return next_ < dives_.size() || closing_; });
        if (next_ == dives_.size()) return;
        read_taken(dives_[next_++], lock);
    }
}

std::size_t DiveLines::waiting_bytes() {
    std::lock_guard lock(mutex_);
    return waiting_bytes_;
}

std::optional<DiveLines::Fault> DiveLines::finish() {
    if (!thread_.joinable()) return fault_;
    while (read_one()) {
    }
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return unread_ == 0; });
        closing_ = true;
    }
    changed_.notify_all();
    thread_.join();
    return fault_;
}

}  // namespace data
