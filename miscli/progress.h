#pragma once
// A step of the run that may take a while (reading a mission, gridding it,
// writing its hardcopy). On a terminal, once the step has taken a second,
// one console line names it and counts its seconds, written over in place
// and wiped when the step ends; elsewhere nothing is written.
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace miscli {

class Progress {
public:
    explicit Progress(std::string what);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

private:
    void tick();

    std::string what_;
    std::mutex mutex_;
    std::condition_variable done_changed_;
    bool done_ = false;
    std::thread ticker_;
};

}  // namespace miscli
