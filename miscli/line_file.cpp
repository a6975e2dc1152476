#include "miscli/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace miscli {

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

// Reads into buf from `at` to its end, as far as the file goes; -1 on error.
long read_some(int fd, std::vector<char>& buf, std::size_t at) {
    for (;;) {
        const ssize_t n = ::read(fd, buf.data() + at, buf.size() - at);
        if (n < 0 && errno == EINTR) continue;
        return static_cast<long>(n);
    }
}

}  // namespace

bool LineFile::open(const std::string& path) {
    close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int e = S_ISDIR(st.st_mode) ? EISDIR : errno;
        close();
        error_ = e;
        return false;
    }
    buf_.resize(kBlock);
    whole_ = !S_ISREG(st.st_mode);
    if (whole_) {
        // Read to the end now, so the text can be read again; a line with
        // no end in sight ends the reading there (next() refuses it).
        std::size_t line_start = 0;
        for (;;) {
            if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);
            const long got = read_some(fd_, buf_, end_);
            if (got < 0) {
                const int e = errno;
                close();
                error_ = e;
                return false;
            }
            if (got == 0) break;
            const char* chunk = buf_.data() + end_;
            end_ += static_cast<std::size_t>(got);
            if (const auto* nl = static_cast<const char*>(memrchr(chunk, '\n', static_cast<std::size_t>(got))))
                line_start = static_cast<std::size_t>(nl + 1 - buf_.data());
            if (end_ - line_start > kMaxLine) break;
        }
        eof_ = true;
    }
    return true;
}

void LineFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    whole_ = false;
    buf_.clear();
    pos_ = end_ = 0;
    eof_ = false;
    line_number_ = 0;
    error_ = 0;
}

void LineFile::restart() {
    pos_ = 0;
    line_number_ = 0;
    if (whole_ || fd_ < 0) return;
    end_ = 0;
    eof_ = ::lseek(fd_, 0, SEEK_SET) != 0;
}

void LineFile::refuse(long line, int error) const { throw LineFileFault{line, error}; }

// Reads more when the line at pos_ (line number `line`) has no end in the
// buffer yet; false at the end of the file.
bool LineFile::fill(long line) {
    if (eof_ || fd_ < 0) return false;
    if (pos_ > 0) {
        std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);  // a line of about kMaxLine
    const long got = read_some(fd_, buf_, end_);
    if (got < 0) refuse(line, errno);
    if (got == 0) {
        eof_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}

std::optional<std::string_view> LineFile::next() {
    std::size_t scanned = pos_;
    for (;;) {
        auto* nl = static_cast<const char*>(std::memchr(buf_.data() + scanned, '\n', end_ - scanned));
        if (nl) {
            std::size_t len = static_cast<std::size_t>(nl - (buf_.data() + pos_));
            if (len > kMaxLine) refuse(line_number_ + 1, 0);
            std::string_view line(buf_.data() + pos_, len);
            pos_ += len + 1;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            ++line_number_;
            return line;
        }
        std::size_t offset = end_ - pos_;
        if (offset > kMaxLine) refuse(line_number_ + 1, 0);
        if (!fill(line_number_ + 1)) break;
        scanned = pos_ + offset;
    }
    if (pos_ == end_) return std::nullopt;
    std::string_view line(buf_.data() + pos_, end_ - pos_);
    pos_ = end_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++line_number_;
    return line;
}

int LineFile::pass_lines(int n, std::string& copy) {
    int passed = 0;
    std::size_t scanned = pos_;
    std::size_t carried = 0;  // bytes of the line at `line` that went over before it
    while (passed < n) {
        // The whole lines in the buffer go over in one piece; a line that
        // runs on past the buffer goes over in parts.
        const char* line = buf_.data() + pos_;
        const char* p = buf_.data() + scanned;
        const char* const end = buf_.data() + end_;
        while (passed < n) {
            const auto* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!nl) break;
            if (carried + static_cast<std::size_t>(nl - line) > kMaxLine) refuse(line_number_ + passed + 1, 0);
            carried = 0;
            p = line = nl + 1;
            ++passed;
        }
        const std::size_t upto = static_cast<std::size_t>(p - buf_.data());
        copy.append(buf_.data() + pos_, upto - pos_);
        carried += static_cast<std::size_t>(p - line);
        pos_ = upto;
        if (passed == n) break;
        const std::size_t partial = end_ - pos_;
        if (carried + partial > kMaxLine) refuse(line_number_ + passed + 1, 0);
        if (!fill(line_number_ + passed + 1)) {
            if (pos_ < end_) {  // a last line without its end-of-line
                copy.append(buf_.data() + pos_, end_ - pos_);
                pos_ = end_;
                ++passed;
            }
            break;
        }
        scanned = pos_ + partial;
    }
    line_number_ += passed;
    return passed;
}

std::string_view take_line(std::string_view text, std::size_t& from) {
    const char* start = text.data() + from;
    const auto* nl = static_cast<const char*>(std::memchr(start, '\n', text.size() - from));
    const std::size_t len = nl ? static_cast<std::size_t>(nl - start) : text.size() - from;
    from += nl ? len + 1 : len;
    std::string_view line(start, len);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace miscli
