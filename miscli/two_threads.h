#pragma once
// Loops over dives whose steps write apart (each step its own dive) and
// read only what no step writes, run in two parts at once: the later part
// on a second thread. The result is the same as in one piece, a fatal stop
// included: one thrown in the later part is thrown again on the caller's
// thread once both parts are done.
#include <exception>
#include <thread>

#include "miscli/quiet_thread.h"

namespace miscli {

// Runs work(lo, hi) over first..last, split where the weights (weight(i):
// how much work step i is) are about halved. Small loops stay in one piece:
// starting a thread costs about as much as a few thousand samples.
template <class Weight, class Work>
void split_over_two_threads(int first, int last, Weight weight, Work work) {
    constexpr long kWorthIt = 20000;
    long total = 0;
    for (int i = first; i <= last; ++i) total += 1 + static_cast<long>(weight(i));
    if (total < kWorthIt || last <= first) {
        work(first, last);
        return;
    }
    int mid = first;
    for (long sum = 0; mid < last; ++mid) {
        sum += 1 + static_cast<long>(weight(mid));
        if (2 * sum >= total) break;
    }
    std::exception_ptr thrown;
    std::jthread later = start_quiet_thread([&] {
        try {
            work(mid + 1, last);
        } catch (...) {
            thrown = std::current_exception();
        }
    });
    work(first, mid);  // a throw here comes first, as in one piece
    later.join();      // (also joined when work throws)
    if (thrown) std::rethrow_exception(thrown);
}

}  // namespace miscli
