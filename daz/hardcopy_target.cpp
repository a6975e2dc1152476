#include "daz/hardcopy_target.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "miscli/fixed_format.h"
#include "screen/interrupts.h"

namespace daz {

namespace {

std::string reason(int err) { return std::strerror(err); }

std::string numbered(int n, std::string_view extension) {
    return "OUT" + miscli::fmt_i0(n, 2, 2) + "." + std::string(extension);
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A free-looking name for a temporary in `folder`: short, so that a final
// name near the system's limit still leaves room for it.
std::string temporary_name(const std::string& folder) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string name = folder + ".glidersect-";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

// The errors with which a file system says it keeps no unnamed files.
bool no_unnamed_files(int err) { return err == EOPNOTSUPP || err == EISDIR || err == EINVAL; }

std::string fd_path(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Bytes of a hardcopy gathered before they go to the file: the page writers
// hand over many small pieces, and a call per piece costs as much as making it.
constexpr std::size_t kGathered = std::size_t{1} << 18;

// Writes all of data to fd; 0 or the errno of the failure. A pipe nobody
// reads makes the write fail (EPIPE) rather than end the program: SIGPIPE
// is held back meanwhile and the one the write raised is dropped.
int write_all(int fd, const char* data, std::size_t n) {
    sigset_t pipe_signal, old;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, &old);
    int err = 0;
    while (n > 0 && err == 0) {
        const ssize_t done = ::write(fd, data, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            err = done < 0 ? errno : EIO;
        } else {
            data += done;
            n -= static_cast<std::size_t>(done);
        }
    }
    if (err == EPIPE) {
        const timespec now{};
        sigtimedwait(&pipe_signal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return err;
}

// Gives the temporary `temp` the name `name` unless a file has it (EEXIST
// then); 0 or the errno.
int take_free_name(const std::string& temp, const std::string& name) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    // A file system that cannot refuse the rename: look first.
    if (struct stat st; ::lstat(name.c_str(), &st) == 0) return EEXIST;
    return std::rename(temp.c_str(), name.c_str()) == 0 ? 0 : errno;
}

}  // namespace

bool HardcopyTarget::open(const std::string& name, std::string_view extension, std::string& error) {
    abandon();
    error_ = 0;
    number_ = 0;
    temp_.clear();
    extension_ = extension;
    if (name.empty()) {
        kind_ = Kind::Numbered;
        // The first name no file has; it is taken when the picture is complete.
        for (number_ = 1; number_ <= 99; ++number_) {
            name_ = numbered(number_, extension);
            if (struct stat st; ::lstat(name_.c_str(), &st) != 0) {
                if (errno == ENOENT) break;
                error = " Cannot create " + name_ + ": " + reason(errno);
                return false;
            }
        }
        if (number_ > 99) {
            error = " OUT01." + extension_ + " to OUT99." + extension_ +
                    " all exist, so no hardcopy is written; move some of them away.";
            return false;
        }
        path_ = name_;
    } else if (name == "-") {
        kind_ = Kind::Direct;
        name_ = "standard output";
        fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    } else {
        name_ = path_ = name;
        struct stat st;
        kind_ = ::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode) ? Kind::Direct : Kind::Named;
        if (kind_ == Kind::Direct) {
            // Written to as it is, never replaced.
            fd_ = ::open(name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        } else if (struct stat link; ::lstat(name.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            // Through a link the file it names is replaced; the link stays.
            if (char* real = ::realpath(name.c_str(), nullptr)) {
                path_ = real;
                std::free(real);
            }
        }
    }
    if (kind_ == Kind::Direct) {
        if (fd_ < 0) {
            error = " Cannot write " + name_ + ": " + reason(errno);
            return false;
        }
        open_ = true;
        arm_for_signals();
        return true;
    }
    folder_ = folder_of(path_);
    // A signal while the temporary is made and noted waits, so no
    // temporary is ever left unnoted.
    screen::defer_interrupts(true);
    const bool made = make_file(error);
    if (made) {
        open_ = true;
        arm_for_signals();
    }
    screen::defer_interrupts(false);
    if (made && screen::interrupt_requested()) {
        abandon();
        screen::stop_for_interrupt(name_ + " is not written and the run ends.");
    }
    return made;
}

bool HardcopyTarget::make_file(std::string& error) {
    fd_ = ::open(folder_.empty() ? "." : folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    // It is named through /proc in the end; without that, a named temporary.
    if (fd_ >= 0 && ::access(fd_path(fd_).c_str(), F_OK) != 0) {
        ::close(fd_);
        fd_ = -1;
        errno = EOPNOTSUPP;
    }
    for (int tries = 0; fd_ < 0 && no_unnamed_files(errno) && tries < 100; ++tries) {
        temp_ = temporary_name(folder_);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno == EEXIST) errno = EINVAL;  // try another name
    }
    if (fd_ >= 0) return true;
    error = " Cannot create " + name_ + ": " + reason(errno);
    temp_.clear();
    return false;
}

void HardcopyTarget::arm_for_signals() const {
    screen::drop_hardcopy_on_interrupt(temp_, name_ + (kind_ == Kind::Direct
                                                           ? " holds an incomplete picture and the run ends."
                                                           : " is not written and the run ends."));
}

void HardcopyTarget::write(const char* data, std::size_t n) {
    // After a failure the rest is dropped; the failure is what counts.
    if (!open_ || error_ != 0) return;
    if (pending_.size() + n > kGathered) flush();
    if (n >= kGathered) {
        if (error_ == 0) error_ = write_all(fd_, data, n);
        return;
    }
    pending_.insert(pending_.end(), data, data + n);
}

void HardcopyTarget::flush() {
    if (error_ == 0 && !pending_.empty()) error_ = write_all(fd_, pending_.data(), pending_.size());
    pending_.clear();
}

int HardcopyTarget::link_unnamed(const std::string& to) const {
    return ::linkat(AT_FDCWD, fd_path(fd_).c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

int HardcopyTarget::close_file() {
    if (fd_ < 0) return 0;
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0 ? 0 : errno;
}

int HardcopyTarget::claim_name() {
    if (kind_ == Kind::Direct) return close_file();
    if (!temp_.empty()) {
        // A named temporary: closed first, then renamed.
        if (const int err = close_file(); err != 0) return err;
        if (kind_ == Kind::Named) {
            if (std::rename(temp_.c_str(), path_.c_str()) != 0) return errno;
            temp_.clear();
            return 0;
        }
        for (; number_ <= 99; ++number_) {
            name_ = path_ = numbered(number_, extension_);
            const int err = take_free_name(temp_, path_);
            if (err == 0) temp_.clear();
            if (err != EEXIST) return err;
        }
        return EEXIST;
    }
    if (kind_ == Kind::Numbered) {
        for (; number_ <= 99; ++number_) {
            name_ = path_ = numbered(number_, extension_);
            const int err = link_unnamed(path_);
            if (err != EEXIST) return err != 0 ? err : close_file();
        }
        return EEXIST;
    }
    if (const int err = link_unnamed(path_); err != EEXIST) return err != 0 ? err : close_file();
    // The file there is replaced in one step: the picture takes a name of
    // its own first, then the file's.
    int err = EEXIST;
    for (int tries = 0; err == EEXIST && tries < 100; ++tries) {
        temp_ = temporary_name(folder_);
        err = link_unnamed(temp_);
    }
    if (err != 0) {
        temp_.clear();
        return err;
    }
    close_file();
    if (std::rename(temp_.c_str(), path_.c_str()) != 0) return errno;
    temp_.clear();
    return 0;
}

bool HardcopyTarget::commit(std::string& error) {
    if (!open_) return true;
    flush();
    open_ = false;
    // The name is taken whole or not at all: a signal meanwhile waits.
    screen::defer_interrupts(true);
    if (error_ == 0) error_ = claim_name();
    if (error_ != 0) {
        close_file();
        if (!temp_.empty()) ::unlink(temp_.c_str());
        temp_.clear();
    }
    screen::forget_hardcopy_on_interrupt();
    screen::defer_interrupts(false);
    if (error_ == 0) return true;
    if (kind_ == Kind::Numbered && number_ > 99)
        error = " OUT01." + extension_ + " to OUT99." + extension_ +
                " all exist, so no hardcopy is written; move some of them away.";
    else
        error = " Cannot write " + name_ + ": " + reason(error_);
    return false;
}

void HardcopyTarget::abandon() {
    if (!open_ && fd_ < 0) return;
    open_ = false;
    pending_.clear();
    close_file();
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    screen::forget_hardcopy_on_interrupt();
}

}  // namespace daz
