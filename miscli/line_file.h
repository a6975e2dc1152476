#pragma once
// A text file read one line at a time. A regular file is mapped into
// memory rather than copied (a large dive file is tens of megabytes, and
// fresh memory costs more than the mapping of what the system has cached);
// anything else (a pipe) is read whole. Lines stay valid while the file is
// open, so they may be handed on and read later.
#include <optional>
#include <string>
#include <string_view>

namespace miscli {

class LineFile {
public:
    LineFile() = default;
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;
    ~LineFile() { close(); }

    // False when the file does not exist, is a directory or cannot be read.
    bool open(const std::string& path);
    void close();
    // The next line without its end-of-line (LF or CR LF), or nullopt at the
    // end of the file.
    std::optional<std::string_view> next();
    long line_number() const { return line_number_; }
    // The whole text, and where the next line starts in it.
    std::string_view text() const { return text_; }
    std::size_t position() const { return pos_; }
    // The text before `pos` will not be read again: a mapped file gives
    // those pages back, so a large file is not held in memory whole.
    void release_before(std::size_t pos);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    long line_number_ = 0;
    void* map_ = nullptr;
    std::size_t map_size_ = 0;
    std::size_t released_ = 0;  // pages before this are given back
    std::string read_;  // the text of a file that cannot be mapped
};

// The line of `text` that starts at `from`, without its end-of-line; `from`
// moves past it. `from` must be short of the end.
std::string_view take_line(std::string_view text, std::size_t& from);

}  // namespace miscli
