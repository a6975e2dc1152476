#include "section/p_sort.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "miscli/two_threads.h"

namespace section {

namespace {

// The order is that of a selection sort which, for each position j, takes
// the first of the largest keys above 0.0 among j..n (or leaves j when none
// is above 0.0) and exchanges it with j. That order decides which of equal
// keys comes first, so it is kept exactly; a tournament tree finds each
// selection in log n steps instead of a scan. Keys at or below 0.0 (and NaN)
// never win, so they count as 0.0.
class Tournament {
public:
    // Room for profiles of up to n samples.
    explicit Tournament(int n) {
        while (cap_ < n) cap_ *= 2;
        key_.resize(static_cast<std::size_t>(cap_));
        winner_.resize(2 * static_cast<std::size_t>(cap_));
    }
    void build(const float* keys, int n) {
        size_ = 1;
        while (size_ < n) size_ *= 2;
        for (int i = 0; i < size_; ++i) {
            float k = i < n ? keys[i] : 0.0f;
            leaf_key(i) = k > 0.0f ? k : 0.0f;
            winner_[static_cast<std::size_t>(size_ + i)] = i;
        }
        for (int node = size_ - 1; node >= 1; --node) combine(node);
    }
    // Leftmost position of the largest live key (positions already placed
    // were retired).
    int winner() const { return winner_[1]; }
    void set(int i, float key) {
        leaf_key(i) = key > 0.0f ? key : 0.0f;
        for (int node = (size_ + i) / 2; node >= 1; node /= 2) combine(node);
    }
    void retire(int i) {
        leaf_key(i) = -1.0f;  // below every live key, so it is never chosen
        for (int node = (size_ + i) / 2; node >= 1; node /= 2) combine(node);
    }

private:
    float& leaf_key(int i) { return key_[static_cast<std::size_t>(i)]; }
    void combine(int node) {
        int l = winner_[static_cast<std::size_t>(2 * node)], r = winner_[static_cast<std::size_t>(2 * node + 1)];
        // The right side wins only with a strictly larger key: leftmost of equals.
        winner_[static_cast<std::size_t>(node)] = key_[static_cast<std::size_t>(r)] > key_[static_cast<std::size_t>(l)] ? r : l;
    }
    int cap_ = 1, size_ = 1;
    std::vector<float> key_;
    std::vector<int> winner_;
};

// A glider's profile is nearly in order or nearly in reverse: it is put in
// order of its keys (as the selection counts them) by insertion from the
// nearer of the two. Keys that all differ have that one order only. Where
// keys are equal, the selection's exchanges are followed in that order:
// each step takes the next largest key, of equal ones the leftmost where
// the exchanges before it left them, and once only zeros (samples at or
// above the surface) are left nothing moves. Gives false, having moved
// nothing, when the profile is too far from either order for insertion to
// pay, or holds a long run of one key above 0.0 (then the tournament does).
class InsertionSort {
public:
    bool sort(float* const* column, std::int8_t* const* flag, int n_vars, float* carried, int n) {
        const float* key = column[1];
        const std::size_t count = static_cast<std::size_t>(n);
        clamped_.resize(count);
        for (std::size_t j = 0; j < count; ++j) clamped_[j] = key[j] > 0.0f ? key[j] : 0.0f;
        order_.resize(count);
        const bool rising = clamped_.front() < clamped_.back();
        for (std::size_t j = 0; j < count; ++j) order_[j] = static_cast<int>(rising ? count - 1 - j : j);
        std::size_t moves = 0;
        for (std::size_t j = 1; j < count; ++j) {
            const int at = order_[j];
            const float k = clamped_[static_cast<std::size_t>(at)];
            std::size_t i = j;
            for (; i > 0 && clamped_[static_cast<std::size_t>(order_[i - 1])] < k; --i) order_[i] = order_[i - 1];
            order_[i] = at;
            moves += j - i;
            if (moves > 8 * count) return false;
        }
        // The keys above 0.0 come first; equal ones stand together.
        std::size_t positive = 0, run = 1;
        bool ties = false;
        for (; positive < count && key_of(positive) > 0.0f; ++positive) {
            run = positive > 0 && key_of(positive) == key_of(positive - 1) ? run + 1 : 1;
            if (run > kLongestRun) return false;
            ties = ties || run > 1;
        }
        if (ties || count - positive > 1) exchanges(positive);
        for (int v = 1; v <= n_vars; ++v) {
            permute(column[v], values_);
            permute(flag[v], flags_);
        }
        if (carried) permute(carried, values_);
        return true;
    }

private:
    static constexpr std::size_t kLongestRun = 32;
    float key_of(std::size_t j) const { return clamped_[static_cast<std::size_t>(order_[j])]; }

    // The arrangement the selection leaves after placing the first `placed`
    // of order_ (the keys above 0.0, largest first) by exchange.
    void exchanges(std::size_t placed) {
        const std::size_t count = order_.size();
        at_.resize(count);
        where_.resize(count);
        for (std::size_t j = 0; j < count; ++j) at_[j] = where_[j] = static_cast<int>(j);
        const auto where = [this](int e) { return where_[static_cast<std::size_t>(e)]; };
        for (std::size_t j = 0; j < placed;) {
            std::size_t end = j + 1;
            while (end < placed && key_of(end) == key_of(j)) ++end;
            for (std::size_t t = j; t < end; ++t) {
                std::size_t first = t;
                for (std::size_t u = t + 1; u < end; ++u)
                    if (where(order_[u]) < where(order_[first])) first = u;
                std::swap(order_[t], order_[first]);
                const int e = order_[t];
                const auto m = static_cast<std::size_t>(where(e));
                if (m == t) continue;
                const int other = at_[t];
                at_[t] = e;
                at_[m] = other;
                where_[static_cast<std::size_t>(e)] = static_cast<int>(t);
                where_[static_cast<std::size_t>(other)] = static_cast<int>(m);
            }
            j = end;
        }
        order_.swap(at_);
    }

    template <class T>
    void permute(T* data, std::vector<T>& room) const {
        room.assign(data, data + order_.size());
        for (std::size_t j = 0; j < order_.size(); ++j) data[j] = room[static_cast<std::size_t>(order_[j])];
    }
    std::vector<float> clamped_, values_;
    std::vector<std::int8_t> flags_;
    std::vector<int> order_, at_, where_;
};

}  // namespace

void p_sort_(int n_dives, int n_vars, miscli::Array1<int>& n_samp, miscli::RaggedArray3<float>& prof,
             miscli::RaggedArray3<std::int8_t>& prof_flag, miscli::RaggedArray2<float>* carried) {
    int longest = 1;
    for (int i = 1; i <= n_dives; ++i) longest = std::max(longest, n_samp(i));
    // Profiles are sorted apart, on two threads for a large section.
    auto sort = [&](int first, int last) {
        Tournament tree(longest);
        InsertionSort insertion;
        for (int i = first; i <= last; ++i) {
            int n = n_samp(i);
            if (n > 1) {
                float* key = &prof(1, i, 1);
                // Already in order (as files are written, deepest first): nothing moves.
                bool ordered = true;
                for (int j = 1; j < n && ordered; ++j) {
                    float a = key[j - 1] > 0.0f ? key[j - 1] : 0.0f;
                    float b = key[j] > 0.0f ? key[j] : 0.0f;
                    ordered = a >= b;
                }
                float* columns[5] = {};
                std::int8_t* flags[5] = {};
                for (int v = 1; v <= n_vars; ++v) {
                    columns[v] = &prof(1, i, v);
                    flags[v] = &prof_flag(1, i, v);
                }
                float* carry = carried ? &(*carried)(1, i) : nullptr;
                if (!ordered && !insertion.sort(columns, flags, n_vars, carry, n)) {
                    tree.build(key, n);
                    for (int j = 0; j < n - 1; ++j) {
                        int m = tree.winner();
                        if (m != j) {
                            for (int v = 1; v <= n_vars; ++v) {
                                std::swap(prof(j + 1, i, v), prof(m + 1, i, v));
                                std::swap(prof_flag(j + 1, i, v), prof_flag(m + 1, i, v));
                            }
                            if (carry) std::swap(carry[j], carry[m]);
                            tree.set(m, key[m]);
                        }
                        tree.retire(j);
                    }
                }
            }
            while (n > 0 && prof(n, i, 1) < 0.0f) --n;
            n_samp(i) = n;
        }
    };
    miscli::split_over_two_threads(1, n_dives, [&](int i) { return n_samp(i); }, sort);
}

}  // namespace section
