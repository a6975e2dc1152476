#pragma once
// Work done in a child process, so that a library that crashes or runs away
// on a damaged file ends the child and not the program: the child's memory
// and processor time are limited, and it speaks with the parent only over
// its link (its standard input and output are /dev/null).
#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace data {

// The other end of the link has gone.
struct NcLinkEnded {};

// Bytes going one way between parent and child: a ring in memory that
// both map, written by one and read by the other. A mission's millions of
// samples are copied once into it and once out, where a socket would have
// the kernel take and copy each piece.
struct NcRing {
    static constexpr std::size_t kBytes = std::size_t{2} << 20;
    std::atomic<std::uint64_t> written{0}, read{0};  // totals so far
    // Bumped with each, for the other end to wait on, and how many wait.
    std::atomic<std::uint32_t> written_tick{0}, read_tick{0};
    std::atomic<std::uint32_t> written_waits{0}, read_waits{0};
    std::byte bytes[kBytes];
};

// One end of the byte stream between parent and child, buffered both ways:
// it writes `out` and reads `in`. The socket carries no bytes; it tells a
// waiting end that the other has gone.
class NcLink {
public:
    NcLink(int fd, NcRing& out, NcRing& in);
    ~NcLink();
    NcLink(const NcLink&) = delete;
    NcLink& operator=(const NcLink&) = delete;

    // What is sent comes in blocks padded to 8 bytes, so that a block
    // written in place starts aligned.
    static constexpr std::size_t padded(std::size_t n) { return (n + 7) & ~std::size_t{7}; }
    // Room for a block of n bytes (n <= kRoom) at the end of what is to be
    // sent, valid until the next call; sent by a later flush.
    static constexpr std::size_t kRoom = std::size_t{1} << 20;
    std::byte* room(std::size_t n);
    // A block of any size.
    void put(const void* data, std::size_t n);
    // Sends what is held. Throws NcLinkEnded when the other end has gone.
    void flush();

    // The next block of n bytes into `to` (nullptr: passed over); false
    // when the other end ended first.
    bool get(void* to, std::size_t n);

private:
    void send_all(const std::byte* data, std::size_t n);
    bool receive(std::byte* to, std::size_t n);
    // Waits for the tick to move from `seen`; false when it has not and
    // the other end has gone.
    bool wait(std::atomic<std::uint32_t>& tick, std::atomic<std::uint32_t>& waits, std::uint32_t seen);
    int fd_;
    NcRing& out_ring_;
    NcRing& in_ring_;
    std::vector<std::byte> out_;
    std::size_t out_used_ = 0;
};

class NcChild {
public:
    // Forks. The child may grow its address space by `memory` bytes and use
    // `seconds` of processor time; it runs body with its end of the link
    // and the shared number, then ends. Throws std::system_error when no
    // child can be made.
    NcChild(std::size_t memory, long seconds,
            const std::function<void(NcLink&, std::atomic<std::size_t>&)>& body);
    // Closes the link and ends the child, if it has not ended.
    ~NcChild();
    NcChild(const NcChild&) = delete;
    NcChild& operator=(const NcChild&) = delete;

    NcLink& link() { return *link_; }
    // A number the child sets and this process reads, even after the child
    // has died (the file it was reading).
    std::atomic<std::size_t>& shared_number() { return shared_->number; }
    // How the child ended, once its end of the link has gone (waits for
    // it): "killed by signal 11, Segmentation fault", "more than N seconds
    // of processor time", "ended with status N".
    std::string how_it_ended();

private:
    pid_t pid_ = -1;
    long seconds_;
    // In memory shared with the child: the number and the link's two rings.
    struct Shared {
        std::atomic<std::size_t> number{0};
        NcRing to_parent, to_child;
    };
    Shared* shared_ = nullptr;
    std::unique_ptr<NcLink> link_;
};

}  // namespace data
