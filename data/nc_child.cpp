#include "data/nc_child.h"

#include <fcntl.h>
#include <linux/futex.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <system_error>

namespace data {

NcLink::NcLink(int fd, NcRing& out, NcRing& in) : fd_(fd), out_ring_(out), in_ring_(in), out_(kRoom) {}

NcLink::~NcLink() { close(fd_); }

std::byte* NcLink::room(std::size_t n) {
    n = padded(n);
    if (out_used_ + n > out_.size()) flush();
    std::byte* p = out_.data() + out_used_;
    out_used_ += n;
    return p;
}

void NcLink::put(const void* data, std::size_t n) {
    if (padded(n) <= kRoom) {
        std::byte* p = room(n);
        if (n > 0) std::memcpy(p, data, n);
        std::memset(p + n, 0, padded(n) - n);
        return;
    }
    flush();
    static constexpr std::byte zeros[8] = {};
    send_all(static_cast<const std::byte*>(data), n);
    send_all(zeros, padded(n) - n);
}

void NcLink::flush() {
    send_all(out_.data(), out_used_);
    out_used_ = 0;
}

namespace {

// The ring's waits and wakes: futexes on memory the two processes share.
// The tick is bumped before the count of waiters is read, and a waiter is
// counted before it reads the tick again, so a wake is only skipped when
// nobody can be asleep.
void bump(std::atomic<std::uint32_t>& tick, std::atomic<std::uint32_t>& waits) {
    tick.fetch_add(1);
    if (waits.load() > 0) syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&tick), FUTEX_WAKE, 1, nullptr, nullptr, 0);
}

}  // namespace

bool NcLink::wait(std::atomic<std::uint32_t>& tick, std::atomic<std::uint32_t>& waits, std::uint32_t seen) {
    // A tenth of a second at a time, looking between for the other end.
    const timespec tenth{0, 100'000'000};
    while (tick.load() == seen) {
        waits.fetch_add(1);
        if (tick.load() == seen)
            syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&tick), FUTEX_WAIT, seen, &tenth, nullptr, 0);
        waits.fetch_sub(1);
        if (tick.load() != seen) break;
        // Nothing is written to the socket: readable means the other end closed it.
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 0) > 0) return tick.load() != seen;
    }
    return true;
}

void NcLink::send_all(const std::byte* data, std::size_t n) {
    NcRing& r = out_ring_;
    std::uint64_t written = r.written.load(std::memory_order_relaxed);
    while (n > 0) {
        const std::uint32_t seen = r.read_tick.load(std::memory_order_acquire);
        const std::uint64_t room = NcRing::kBytes - (written - r.read.load(std::memory_order_acquire));
        if (room == 0) {
            if (!wait(r.read_tick, r.read_waits, seen)) throw NcLinkEnded{};
            continue;
        }
        const std::size_t at = static_cast<std::size_t>(written % NcRing::kBytes);
        const std::size_t piece = std::min({n, static_cast<std::size_t>(room), NcRing::kBytes - at});
        std::memcpy(r.bytes + at, data, piece);
        data += piece;
        n -= piece;
        written += piece;
        r.written.store(written, std::memory_order_release);
        bump(r.written_tick, r.written_waits);
    }
}

bool NcLink::get(void* to, std::size_t n) {
    std::byte pad[8];
    if (to) {
        if (!receive(static_cast<std::byte*>(to), n)) return false;
    } else {
        for (std::size_t left = n; left > 0;) {
            const std::size_t piece = std::min(left, sizeof pad);
            if (!receive(pad, piece)) return false;
            left -= piece;
        }
    }
    return receive(pad, padded(n) - n);
}

bool NcLink::receive(std::byte* at, std::size_t n) {
    NcRing& r = in_ring_;
    std::uint64_t read = r.read.load(std::memory_order_relaxed);
    while (n > 0) {
        const std::uint32_t seen = r.written_tick.load(std::memory_order_acquire);
        const std::uint64_t ready = r.written.load(std::memory_order_acquire) - read;
        if (ready == 0) {
            if (!wait(r.written_tick, r.written_waits, seen)) return false;
            continue;
        }
        const std::size_t from = static_cast<std::size_t>(read % NcRing::kBytes);
        const std::size_t piece = std::min({n, static_cast<std::size_t>(ready), NcRing::kBytes - from});
        std::memcpy(at, r.bytes + from, piece);
        at += piece;
        n -= piece;
        read += piece;
        r.read.store(read, std::memory_order_release);
        bump(r.read_tick, r.read_waits);
    }
    return true;
}

namespace {

// The soft limit of a resource, within its hard limit.
void limit(int resource, rlim_t most) {
    rlimit r{};
    if (getrlimit(resource, &r) != 0) return;
    r.rlim_cur = r.rlim_max == RLIM_INFINITY ? most : std::min(most, r.rlim_max);
    setrlimit(resource, &r);
}

// Bytes of address space in use.
std::size_t address_space() {
    unsigned long pages = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
    std::fclose(statm);
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// The child's side, up to its body: it dies with the parent, takes signals
// as they come (the parent has its own handlers), writes no core file and
// reads and writes nothing but the link.
void become_child(pid_t parent, std::size_t memory, long seconds) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(1);
    for (int sig : {SIGINT, SIGTERM, SIGPIPE, SIGXCPU}) signal(sig, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(null, fd);
        if (null > STDERR_FILENO) close(null);
    }
    limit(RLIMIT_CORE, 0);
    limit(RLIMIT_CPU, static_cast<rlim_t>(seconds));
    if (const std::size_t used = address_space(); used > 0) limit(RLIMIT_AS, static_cast<rlim_t>(used + memory));
}

}  // namespace

NcChild::NcChild(std::size_t memory, long seconds,
                 const std::function<void(NcLink&, std::atomic<std::size_t>&)>& body)
    : seconds_(seconds) {
    // Mapped before the fork, so that both processes see the same pages.
    void* pages = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) throw std::system_error(errno, std::generic_category(), "mmap");
    shared_ = new (pages) Shared;
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
        const int err = errno;
        munmap(pages, sizeof(Shared));
        throw std::system_error(err, std::generic_category(), "socketpair");
    }
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) {
        const int err = errno;
        close(fds[0]);
        close(fds[1]);
        munmap(pages, sizeof(Shared));
        throw std::system_error(err, std::generic_category(), "fork");
    }
    if (pid_ == 0) {
        close(fds[0]);
        become_child(parent, memory, seconds);
        try {
            NcLink link(fds[1], shared_->to_parent, shared_->to_child);
            body(link, shared_->number);
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    close(fds[1]);
    link_ = std::make_unique<NcLink>(fds[0], shared_->to_child, shared_->to_parent);
}

NcChild::~NcChild() {
    link_.reset();
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    munmap(shared_, sizeof(Shared));
}

std::string NcChild::how_it_ended() {
    link_.reset();
    int status = 0;
    pid_t r;
    while ((r = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (r < 0) return "its end is unknown";
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        if (sig == SIGXCPU) return "more than " + std::to_string(seconds_) + " seconds of processor time";
        const char* name = strsignal(sig);
        return "killed by signal " + std::to_string(sig) + (name ? std::string(", ") + name : std::string());
    }
    return "ended with status " + std::to_string(WEXITSTATUS(status));
}

}  // namespace data
