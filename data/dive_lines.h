#pragma once
// The sample and profiler lines of a dive file, read on two threads. The
// dialogue's thread walks the file: it reads each dive's two heading lines
// and passes over its sample lines and profiler records, taking each record
// to be one line (as files are written; a record over several lines is told
// back, and the file is then read in order). It hands each dive's lines on
// as they stand; they are read by a second thread and, whenever the walk is
// far enough ahead, by the walker too.
#include <compare>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "data/dive_table.h"

namespace data {

// Reads one sample line: pressure, then variables 2..n_vars with their
// flags. False when a field is not a number of its kind.
bool read_sample_line(std::string_view line, int n_vars, float value[5], int flag[5]);

// The pressure has no flag in the file: it is good inside the range.
inline Flag pressure_flag(float p) { return (p > -0.1f && p < 999.9f) ? 0 : 1; }

// Reads one profiler record from a single line: depth, u, v, flag, column
// 4, flag, column 5, flag, as the list-directed read takes them.
enum class RecordLine { Read, Bad, Short };  // Short: all good, but the record goes on
RecordLine read_record_line(std::string_view line, float value[5], int flag[3]);

// A place in the dive file, in file order: a dive, the part of it, a line
// of that part.
struct FilePlace {
    enum Part { Heading, Samples, Records };
    int dive = 0;
    Part part = Heading;
    int line = 0;
    auto operator<=>(const FilePlace&) const = default;
};

class DiveLines {
public:
    explicit DiveLines(int n_vars);
    ~DiveLines() { finish(); }
    DiveLines(const DiveLines&) = delete;
    DiveLines& operator=(const DiveLines&) = delete;

    // Dive d: `n_samples` sample lines, then from `records_at` in `text`
    // `n_records` one-line profiler records, into the room made for them
    // in `t`.
    void add(int d, std::string text, int n_samples, std::size_t records_at, int n_records, DiveTable& t);
    // Reads the oldest dive not yet taken on the caller's thread; false
    // when there is none.
    bool read_one();
    // Bytes of lines handed on and not yet read.
    std::size_t waiting_bytes();

    struct Fault {
        FilePlace place;
        bool several_lines = false;  // a profiler record went on past its line
    };
    // Reads what is left, then ends the second thread. The first fault in
    // the file among the dives handed on, if any.
    std::optional<Fault> finish();

private:
    struct Dive {
        int d = 0;
        std::string text;
        std::size_t records_at = 0;
        int n_samples = 0, n_records = 0;
        float* prof[5] = {};
        Flag* prof_flag[5] = {};
        float* adcp[6] = {};
        Flag* adcp_flag[4] = {};
    };
    void run();
    std::optional<Fault> read(const Dive& dive) const;
    void read_taken(Dive& dive, std::unique_lock<std::mutex>& lock);

    int n_vars_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Dive> dives_;        // every dive handed on, in file order
    std::size_t next_ = 0;          // the first not yet taken
    std::size_t unread_ = 0;        // dives handed on and not yet read
    std::size_t waiting_bytes_ = 0;
    bool closing_ = false;
    std::optional<Fault> fault_;
    std::jthread thread_;
};

}  // namespace data
