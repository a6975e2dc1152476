#include "app/heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace app {

void prepare_heap() {
    // Freed memory is never handed back: a trim would also take the advice.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    // Helper threads take their memory from this one heap too: a heap of
    // their own would be fresh memory in small pages, slow to touch.
    mallopt(M_ARENA_MAX, 1);
    // One growth of the heap by a whole room of address space (no memory
    // is used until touched), so the advice below covers what the tables
    // will take; later growth uses the default padding again.
    constexpr std::size_t kRoom = std::size_t{1} << 30;
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    mallopt(M_TOP_PAD, static_cast<int>(kRoom));
    // volatile: a malloc freed at once may otherwise be left out.
    void* volatile grow = std::malloc(std::size_t{1} << 20);
    std::free(grow);
    mallopt(M_TOP_PAD, 128 * 1024);
    // Only the heap's own new room is advised, when it did grow there.
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t start = (before + kHuge - 1) & ~(kHuge - 1);
    if (end > start && end - before >= kRoom / 2)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace app
