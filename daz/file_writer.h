#pragma once
// Writes one file's bytes on a thread of its own. A section's hardcopy is
// tens or hundreds of megabytes of lines, and copying them into the
// system's file cache costs as much as making them: this way the drawing
// goes on meanwhile. Bytes reach the file in the order given; only the
// first failure is kept.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace daz {

class FileWriter {
public:
    // Writes to the open file descriptor `fd`, which the caller closes.
    explicit FileWriter(int fd);
    ~FileWriter() { finish(); }
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    void write(const char* data, std::size_t n);
    // Waits until every byte is written. Gives the errno of the first
    // failure, or 0. Later calls give the same.
    int finish();

private:
    using Buffer = std::vector<char>;
    static constexpr std::size_t kBufferSize = std::size_t{1} << 18;
    static constexpr std::size_t kInFlight = 3;  // full buffers the thread may hold

    void hand_over();
    void run();
    void write_all(const Buffer& b);

    int fd_;
    Buffer filling_;  // the caller's side only
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Buffer> full_;   // waiting for the thread, oldest first
    std::vector<Buffer> spare_; // written, for reuse
    bool closing_ = false;
    int error_ = 0;
    bool finished_ = false;
    std::jthread thread_;
};

}  // namespace daz
