#pragma once
// Sequential reading of a text file one line at a time through one buffer,
// so a large dive file is read without a copy of it in memory.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // end of the file. The view stays valid until the next call.
    std::optional<std::string_view> next();
    long line_number() const { return line_number_; }

private:
    bool fill();
    std::FILE* file_ = nullptr;
    std::vector<char> buf_;
    std::size_t pos_ = 0, end_ = 0;
    bool eof_ = false;
    long line_number_ = 0;
};

}  // namespace miscli
