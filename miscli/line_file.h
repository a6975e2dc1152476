#pragma once
// Sequential reading of a text file one line at a time through one buffer,
// so a large dive file is read without a copy of it in memory. A file that
// cannot be read again from its start (a pipe) is read whole when opened.
// A line is at most kMaxLine bytes: a file without line ends (a device,
// random bytes) is refused after so much, not read on to its end.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace miscli {

// Far beyond the longest line of any text file the program reads.
constexpr std::size_t kMaxLine = std::size_t{1} << 20;

// Thrown by next() and pass_lines() when the file cannot be read on: a
// line longer than kMaxLine (error 0), or a read that failed (its errno).
struct LineFileFault {
    long line;  // the line being read, from 1
    int error;
};

class LineFile {
public:
    LineFile() = default;
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;
    ~LineFile() { close(); }

    // False when the file does not exist, is a directory or cannot be read;
    // error() then gives the reason as an errno value.
    bool open(const std::string& path);
    int error() const { return error_; }
    void close();
    // The next line without its end-of-line (LF or CR LF), or nullopt at the
    // end of the file. The view stays valid until the next call.
    std::optional<std::string_view> next();
    // Passes over up to n lines, appending them to `copy` as they stand
    // (each with its end-of-line); gives how many there were.
    int pass_lines(int n, std::string& copy);
    long line_number() const { return line_number_; }
    // Reads again from the first line.
    void restart();

private:
    bool fill(long line);
    [[noreturn]] void refuse(long line, int error) const;
    int fd_ = -1;
    int error_ = 0;
    bool whole_ = false;  // the whole file is in the buffer
    std::vector<char> buf_;
    std::size_t pos_ = 0, end_ = 0;
    bool eof_ = false;
    long line_number_ = 0;
};

// The line of `text` that starts at `from`, without its end-of-line; `from`
// moves past it. `from` must be short of the end.
std::string_view take_line(std::string_view text, std::size_t& from);

}  // namespace miscli
