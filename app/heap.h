#pragma once
// How the program's heap is kept: set once, first thing in main.

namespace app {

// Large tables are allocated and freed a few times over and touched page
// by page. Freed memory stays in the heap to be reused, rather than handed
// back to the system and faulted in afresh page by page: on a virtual
// machine each page fault costs microseconds, and a large file's tables
// fault in thousands of them. Without glibc this changes nothing.
void prepare_heap();

}  // namespace app
