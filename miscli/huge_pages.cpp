#include "miscli/huge_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace miscli {

void advise_huge_pages(const void* block, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    constexpr std::size_t kWorthIt = std::size_t{8} << 20;  // smaller blocks gain nothing
    if (block == nullptr || bytes < kWorthIt) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes) / page * page;
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

}  // namespace miscli
