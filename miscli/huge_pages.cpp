#include "miscli/huge_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "miscli/quiet_thread.h"

namespace miscli {

void advise_huge_pages(const void* block, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    constexpr std::size_t kWorthIt = std::size_t{8} << 20;  // smaller blocks gain nothing
    if (block == nullptr || bytes < kWorthIt) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes) / page * page;
    if (end <= start) return;
    auto* room = reinterpret_cast<void*>(start);
    const std::size_t length = end - start;
    madvise(room, length, MADV_HUGEPAGE);
#if defined(MADV_POPULATE_WRITE)
    // The system clears each fresh page when it is first touched, which
    // for a mission's tables takes longer than filling them: a second
    // thread has the pages made meanwhile. Making a page changes nothing
    // anyone could read, so the thread may run on even if the block is
    // given back first (the call then just fails).
    start_quiet_thread([room, length] { madvise(room, length, MADV_POPULATE_WRITE); }).detach();
#endif
#else
    (void)block;
    (void)bytes;
#endif
}

}  // namespace miscli
