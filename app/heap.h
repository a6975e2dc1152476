#pragma once
// How the program's heap is kept: set once, first thing in main.

namespace app {

// Large tables are allocated and freed a few times over and touched page
// by page. Freed memory stays in the heap to be reused, and the heap is
// laid out once, advised to the kernel as huge pages: on a virtual machine
// each 4 KB page fault costs microseconds, and a large file's tables fault
// in thousands of them. Without glibc or huge pages this changes nothing.
void prepare_heap();

}  // namespace app
