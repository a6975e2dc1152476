#include "miscli/line_file.h"

#include <cstring>
#include <sys/stat.h>

namespace miscli {

bool LineFile::open(const std::string& path) {
    close();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    buf_.resize(1 << 20);
    pos_ = end_ = 0;
    eof_ = false;
    line_number_ = 0;
    return true;
}

void LineFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool LineFile::fill() {
    if (eof_ || !file_) return false;
    if (pos_ > 0) {
        std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);  // a very long line
    std::size_t got = std::fread(buf_.data() + end_, 1, buf_.size() - end_, file_);
    if (got == 0) eof_ = true;
    end_ += got;
    return got > 0;
}

std::optional<std::string_view> LineFile::next() {
    std::size_t scanned = pos_;
    for (;;) {
        auto* nl = static_cast<const char*>(std::memchr(buf_.data() + scanned, '\n', end_ - scanned));
        if (nl) {
            std::size_t len = static_cast<std::size_t>(nl - (buf_.data() + pos_));
            std::string_view line(buf_.data() + pos_, len);
            pos_ += len + 1;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            ++line_number_;
            return line;
        }
        std::size_t offset = end_ - pos_;
        if (!fill()) break;
        scanned = pos_ + offset;
    }
    if (pos_ == end_) return std::nullopt;
    std::string_view line(buf_.data() + pos_, end_ - pos_);
    pos_ = end_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++line_number_;
    return line;
}

}  // namespace miscli
