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
// system), with the permissions a plain new file would get; -1 with errno
// when it cannot be made.
int temporary_beside(const std::string& name, std::string& temp) {
    const std::size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : name.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    std::string pattern = folder + "." + base + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) return -1;
    temp.assign(buffer.data());
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return fd;
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
    const int fd = temporary_beside(name_, temp_);
    if (fd < 0) {
        error = " Cannot create " + name_ + ": " + reason(errno);
        if (reserved_) ::unlink(name_.c_str());
        reserved_ = false;
        return false;
    }
    file_ = std::make_unique<FileWriter>(fd);
    return true;
}

void HardcopyTarget::note_error() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void HardcopyTarget::write(const char* data, std::size_t n) {
    if (file_ && n > 0) file_->write(data, n);
}

void HardcopyTarget::remove_files() {
    ::unlink(temp_.c_str());
    if (reserved_) ::unlink(name_.c_str());
    reserved_ = false;
}

bool HardcopyTarget::commit(std::string& error) {
    if (!file_) return true;
    if (const int err = file_->finish(); err != 0) error_ = err;
    file_.reset();
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
    file_.reset();
    remove_files();
}

}  // namespace daz
