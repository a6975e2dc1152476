#include "miscli/line_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace miscli {

namespace {

// Reads what is left of fd into `out`; false on a read error.
bool read_all(int fd, std::string& out) {
    char block[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(block, static_cast<std::size_t>(n));
    }
}

}  // namespace

bool LineFile::open(const std::string& path) {
    close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
    if (ok && S_ISREG(st.st_mode) && st.st_size > 0) {
        const auto size = static_cast<std::size_t>(st.st_size);
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map != MAP_FAILED) {
            map_ = map;
            map_size_ = size;
            ::madvise(map, size, MADV_SEQUENTIAL);
            text_ = std::string_view(static_cast<const char*>(map), size);
        }
    }
    if (ok && !map_) {
        ok = read_all(fd, read_);
        text_ = read_;
    }
    ::close(fd);
    if (!ok) close();
    return ok;
}

void LineFile::close() {
    if (map_) ::munmap(map_, map_size_);
    map_ = nullptr;
    map_size_ = 0;
    released_ = 0;
    read_.clear();
    text_ = {};
    pos_ = 0;
    line_number_ = 0;
}

void LineFile::release_before(std::size_t pos) {
    if (!map_) return;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t upto = std::min(pos, map_size_) / page * page;
    if (upto <= released_) return;
    // The mapping is private and never written: the pages are only dropped
    // from this program, and would be read again from the file if needed.
    ::madvise(static_cast<char*>(map_) + released_, upto - released_, MADV_DONTNEED);
    released_ = upto;
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

std::optional<std::string_view> LineFile::next() {
    if (pos_ >= text_.size()) return std::nullopt;
    ++line_number_;
    return take_line(text_, pos_);
}

}  // namespace miscli
