#include "miscli/progress.h"

#include <chrono>
#include <utility>

#include "miscli/console.h"
#include "miscli/fixed_format.h"

namespace miscli {

Progress::Progress(std::string what) : what_(std::move(what)) {
    if (console().shows_progress()) ticker_ = std::thread([this] { tick(); });
}

Progress::~Progress() {
    if (!ticker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    done_changed_.notify_one();
    ticker_.join();
    console().end_progress();
}

void Progress::tick() {
    using namespace std::chrono;
    const auto start = steady_clock::now();
    std::unique_lock lock(mutex_);
    if (done_changed_.wait_for(lock, seconds(1), [this] { return done_; })) return;
    do {
        std::string line = " ";
        line += what_;
        line += " ... ";
        line += fmt_f(duration<double>(steady_clock::now() - start).count(), 0, 1);
        line += " s";
        console().show_progress(line);
    } while (!done_changed_.wait_for(lock, milliseconds(250), [this] { return done_; }));
}

}  // namespace miscli
