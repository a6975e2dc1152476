#include "data/nc_samples.h"

#include <algorithm>

namespace data {

std::vector<SampleRun> runs_of(const Profiles& profiles) {
    std::vector<SampleRun> runs;
    for (std::size_t j = 0; j < profiles.size(); ++j) {
        const std::vector<int>& p = profiles[j];
        for (std::size_t k = 0; k < p.size();) {
            std::size_t end = k + 1;
            while (end < p.size() && p[end] == p[end - 1] + 1) ++end;
            runs.push_back({static_cast<std::size_t>(p[k]), end - k, static_cast<int>(j), static_cast<int>(k)});
            k = end;
        }
    }
    std::sort(runs.begin(), runs.end(), [](const SampleRun& a, const SampleRun& b) { return a.first < b.first; });
    return runs;
}

}  // namespace data
