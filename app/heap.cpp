#include "app/heap.h"

#include <malloc.h>

#include <limits>

namespace app {

void prepare_heap() {
    // Large blocks come from the heap too, and freed memory is never handed back.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    // Helper threads take their memory from this one heap too: a heap of
    // their own would be fresh memory, slow to touch.
    mallopt(M_ARENA_MAX, 1);
}

}  // namespace app
