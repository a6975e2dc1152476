#pragma once
// A file's samples read piece by piece and handed over profile by profile:
// a mission's variables are tens of megabytes each, while a piece of them
// stays in the processor's cache and its room is used again for the next.
#include <array>
#include <cstddef>
#include <limits>
#include <vector>

#include "data/nc_file.h"
#include "data/nc_profiles.h"
#include "data/nc_qc.h"
#include "data/nc_values.h"

namespace data {

// Consecutive samples of one profile: samples first .. first + count - 1
// of the file are samples k .. k + count - 1 (0-based) of profile `profile`.
struct SampleRun {
    std::size_t first = 0, count = 0;
    int profile = 0;
    int k = 0;
};

// The runs of the profiles, in file order.
std::vector<SampleRun> runs_of(const Profiles& profiles);

// Room reused from piece to piece and from variable to variable.
struct PieceRoom {
    std::array<NcDoubles, 2> values;
    NcInts flags;
    NcDoubles raw;
};

// The samples of one run within one piece: value[i][j] is sample k + j of
// the profile (sample first + j of the file) in variable i, flag[j] its
// table flag.
template <std::size_t N>
struct RunPiece {
    int profile;
    int k;
    std::size_t first;
    std::size_t count;
    std::array<const double*, N> value;
    const int* flag;
};

// Reads the variables `vars` of the sample dimension (n samples; a missing
// variable gives NaN throughout) as read_values gives them, and the flags of
// QC variable `qc` (0 throughout without one), a piece at a time, and calls
// visit(RunPiece<N>) for each run within each piece, in file order.
template <std::size_t N, class Visit>
void for_each_run(const NcFile& f, const std::array<const NcVariable*, N>& vars, const NcVariable* qc,
                  std::size_t n, const std::vector<SampleRun>& runs, PieceRoom& room, Visit visit) {
    static_assert(N <= 2);
    constexpr std::size_t kPiece = std::size_t{1} << 16;
    std::array<ValueRule, N> rules;
    for (std::size_t i = 0; i < N; ++i)
        if (vars[i]) rules[i] = value_rule(f, *vars[i]);
    for (auto& v : room.values) v.resize(kPiece);
    room.flags.resize(kPiece);
    std::size_t r = 0;
    for (std::size_t start = 0; start < n && r < runs.size(); start += kPiece) {
        const std::size_t end = std::min(n, start + kPiece);
        if (runs[r].first >= end) continue;  // no profile takes this piece
        const std::size_t count = end - start;
        for (std::size_t i = 0; i < N; ++i) {
            double* to = room.values[i].data();
            if (vars[i]) {
                f.read_doubles(*vars[i], start, count, to);
                apply(rules[i], {to, count});
            } else {
                std::fill(to, to + count, std::numeric_limits<double>::quiet_NaN());
            }
        }
        if (qc) read_qc_flags(f, *qc, start, count, room.flags.data(), room.raw);
        else std::fill(room.flags.begin(), room.flags.begin() + static_cast<long>(count), 0);
        for (; r < runs.size() && runs[r].first < end; ++r) {
            const SampleRun& run = runs[r];
            const std::size_t from = std::max(run.first, start);
            const std::size_t to = std::min(run.first + run.count, end);
            RunPiece<N> piece{run.profile, run.k + static_cast<int>(from - run.first), from, to - from, {},
                              room.flags.data() + (from - start)};
            for (std::size_t i = 0; i < N; ++i) piece.value[i] = room.values[i].data() + (from - start);
            visit(piece);
            if (to < run.first + run.count) break;  // the run goes on in the next piece
        }
    }
}

}  // namespace data
