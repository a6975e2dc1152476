#include "data/nc_profiles.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>

#include "data/limits.h"
#include "data/nc_file.h"

namespace data {

void ProfilesByNumber::add(std::span<const double> number, std::size_t first) {
    for (std::size_t i = 0; i < number.size(); ++i) {
        const double x = number[i];
        if (!std::isfinite(x) || x != std::floor(x)) continue;
        // Samples of one profile mostly come together: look up a new number only.
        if (!last_ || x != last_key_) {
            last_ = &by_number_[x];
            last_key_ = x;
            if (by_number_.size() > static_cast<std::size_t>(MXPR))
                throw NcError("more profiles than the table holds (" + std::to_string(MXPR) + ")");
        }
        if (last_->size() == static_cast<std::size_t>(MXZ))
            throw NcError("a profile of more than " + std::to_string(MXZ) + " samples, more than the table holds a profile");
        last_->push_back(static_cast<int>(first + i));
    }
}

std::vector<double> ProfilesByNumber::numbers() const {
    std::vector<double> out;
    out.reserve(by_number_.size());
    for (const auto& entry : by_number_) out.push_back(entry.first);
    return out;
}

Profiles ProfilesByNumber::take() {
    Profiles out;
    out.reserve(by_number_.size());
    for (auto& entry : by_number_) out.push_back(std::move(entry.second));
    by_number_.clear();
    last_ = nullptr;
    return out;
}

Profiles profiles_of_dive(std::span<const double> pressure) {
    const int n = static_cast<int>(pressure.size());
    int deepest = -1;
    for (int i = 0; i < n; ++i)
        if (std::isfinite(pressure[static_cast<std::size_t>(i)]) &&
            (deepest < 0 || pressure[static_cast<std::size_t>(i)] > pressure[static_cast<std::size_t>(deepest)]))
            deepest = i;
    if (deepest < 0) return one_profile(n);
    Profiles out(2);
    for (int i = 0; i < n; ++i) out[i <= deepest ? 0 : 1].push_back(i);
    if (out[1].empty()) out.pop_back();
    return out;
}

Profiles one_profile(int n_samples) {
    if (n_samples <= 0) return {};
    Profiles out(1, std::vector<int>(static_cast<std::size_t>(n_samples)));
    std::iota(out[0].begin(), out[0].end(), 0);
    return out;
}

namespace {

// Sample indices in time order; a sample without a time stays after the
// sample before it.
std::vector<int> time_order(std::span<const double> time) {
    std::vector<int> order(time.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<double> key(time.size());
    double before = -std::numeric_limits<double>::infinity();
    bool ordered = true;
    for (std::size_t i = 0; i < time.size(); ++i) {
        if (std::isfinite(time[i])) {
            ordered = ordered && time[i] >= before;
            before = time[i];
        }
        key[i] = before;
    }
    if (!ordered)
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return key[static_cast<std::size_t>(a)] < key[static_cast<std::size_t>(b)]; });
    return order;
}

}  // namespace

Profiles profiles_at_turns(std::span<const double> pressure, std::span<const double> time, double turn) {
    const std::vector<int> order = time_order(time);
    const std::size_t n = order.size();
    Profiles out;
    std::size_t start = 0;
    while (start < n) {
        std::size_t end = n - 1;  // the last profile runs to the end
        bool have_first = false;
        int direction = 0;  // +1 down, -1 up, 0 not yet moved
        double first = 0.0, extreme = 0.0;
        std::size_t extreme_at = start;
        for (std::size_t pos = start; pos < n; ++pos) {
            const double p = pressure[static_cast<std::size_t>(order[pos])];
            if (!std::isfinite(p)) continue;
            if (!have_first) {
                have_first = true;
                first = p;
            } else if (direction == 0) {
                if (std::fabs(p - first) >= turn) {
                    direction = p > first ? 1 : -1;
                    extreme = p;
                    extreme_at = pos;
                }
            } else if (direction * (p - extreme) > 0.0) {
                extreme = p;
                extreme_at = pos;
            } else if (direction * (extreme - p) >= turn) {
                end = extreme_at;
                break;
            }
        }
        std::vector<int> profile(order.begin() + static_cast<long>(start), order.begin() + static_cast<long>(end) + 1);
        std::sort(profile.begin(), profile.end());  // file order
        out.push_back(std::move(profile));
        start = end + 1;
    }
    return out;
}

}  // namespace data
