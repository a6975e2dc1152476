#include "daz/hardcopy_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "miscli/fixed_format.h"

namespace daz {

namespace {

std::string reason(int err) { return std::strerror(err); }

// Creates `name` empty if no file has it; errno tells why not.
bool reserve(const std::string& name) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// A new file next to `name` (same folder, so the rename stays on one file
// system), with the permissions a plain new file would get.
std::FILE* temporary_beside(const std::string& name, std::string& temp) {
    const std::size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : name.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    std::string pattern = folder + "." + base + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) return nullptr;
    temp.assign(buffer.data());
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    std::FILE* f = ::fdopen(fd, "w");
    if (!f) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = err;
    }
    return f;
}

}  // namespace

bool HardcopyTarget::open(const std::string& name, std::string_view extension, std::string& error) {
    abandon();
    error_ = 0;
    if (name.empty()) {
        const std::string ext(extension);
        for (int n = 1; n <= 99 && !reserved_; ++n) {
            name_ = "OUT" + miscli::fmt_i0(n, 2, 2) + "." + ext;
            if (reserve(name_)) reserved_ = true;
            else if (errno != EEXIST) {
                error = " Cannot create " + name_ + ": " + reason(errno);
                return false;
            }
        }
        if (!reserved_) {
            error = " OUT01." + ext + " to OUT99." + ext + " all exist, so no hardcopy is written; move some of them away.";
            return false;
        }
    } else {
        name_ = name;
    }
    file_ = temporary_beside(name_, temp_);
    if (!file_) {
        error = " Cannot create " + name_ + ": " + reason(errno);
        if (reserved_) ::unlink(name_.c_str());
        reserved_ = false;
        return false;
    }
    return true;
}

void HardcopyTarget::note_error() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void HardcopyTarget::write(const char* data, std::size_t n) {
    if (!file_ || n == 0) return;
    if (std::fwrite(data, 1, n, file_) != n) note_error();
}

void HardcopyTarget::remove_files() {
    ::unlink(temp_.c_str());
    if (reserved_) ::unlink(name_.c_str());
    reserved_ = false;
}

bool HardcopyTarget::commit(std::string& error) {
    if (!file_) return true;
    errno = 0;
    if (std::fflush(file_) != 0 || std::ferror(file_)) note_error();
    if (std::fclose(file_) != 0) note_error();
    file_ = nullptr;
    if (error_ == 0 && std::rename(temp_.c_str(), name_.c_str()) != 0) note_error();
    if (error_ != 0) {
        remove_files();
        error = " Cannot write " + name_ + ": " + reason(error_);
        return false;
    }
    reserved_ = false;
    return true;
}

void HardcopyTarget::abandon() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    remove_files();
}

}  // namespace daz
