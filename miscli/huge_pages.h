#pragma once
// Asks the system to back a large block of memory with huge pages where it
// can (Linux transparent huge pages on request). A mission's tables are
// hundreds of megabytes; touching them page by page costs more than
// computing them, and huge pages take 512 times fewer faults. Harmless
// where unsupported: the memory is used as it is. The pages are made on a
// second thread meanwhile.
#include <cstddef>

namespace miscli {

void advise_huge_pages(const void* block, std::size_t bytes);

}  // namespace miscli
