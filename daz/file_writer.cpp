#include "daz/file_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "miscli/quiet_thread.h"

namespace daz {

FileWriter::FileWriter(int fd) : fd_(fd) {
    filling_.reserve(kBufferSize);
    thread_ = miscli::start_quiet_thread([this] { run(); });
}

void FileWriter::write(const char* data, std::size_t n) {
    while (n > 0) {
        const std::size_t take = std::min(n, kBufferSize - filling_.size());
        filling_.insert(filling_.end(), data, data + take);
        data += take;
        n -= take;
        if (filling_.size() == kBufferSize) hand_over();
    }
}

void FileWriter::hand_over() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return full_.size() < kInFlight; });
    full_.push_back(std::move(filling_));
    if (!spare_.empty()) {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
    } else {
        filling_ = Buffer();
        filling_.reserve(kBufferSize);
    }
    filling_.clear();
    changed_.notify_all();
}

void FileWriter::write_all(const Buffer& b) {
    const char* p = b.data();
    std::size_t left = b.size();
    while (left > 0 && error_ == 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

void FileWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !full_.empty() || closing_; });
        if (full_.empty()) return;
        Buffer b = std::move(full_.front());
        full_.pop_front();
        lock.unlock();
        // After a failure the rest is dropped; the failure is what counts.
        if (error_ == 0) write_all(b);
        lock.lock();
        spare_.push_back(std::move(b));
        changed_.notify_all();
    }
}

int FileWriter::finish() {
    if (finished_) return error_;
    finished_ = true;
    if (!filling_.empty()) hand_over();
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    thread_.join();
    return error_;
}

}  // namespace daz
