// The glider netCDF reader run in a child process: the child opens and
// reads the files and sends the table's samples as it reads them; this
// process keeps the table, asks the fourth-variable question between the
// passes and turns the child's crash, runaway or refusal into one line.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "data/limits.h"
#include "data/nc_child.h"
#include "data/nc_set.h"
#include "data/read_glider_netcdf.h"
#include "miscli/stop.h"

namespace data {

namespace {

// Every message begins with a frame, followed by the blocks its kind
// names (each padded to 8 bytes by the link).
struct Frame {
    char kind;  // below
    char unused[3];
    std::int32_t a, b, c;
    std::uint64_t n;
};
static_assert(sizeof(Frame) == 24 && sizeof(Frame) % 8 == 0);

// From the child:
// dives a .. a + n - 1 are added, their sizes follow (n int32);
constexpr char kDives = 'D';
// samples c .. c + n - 1 of column b of dive a: n floats, then n flags;
constexpr char kSamples = 'P';
// the first pass is done: serial number a and n dives; then the year, the
// first and last day and the start and end position of every dive (seven
// blocks of n 4-byte values), then b candidate names each ended by a NUL
// (one block of c bytes);
constexpr char kTable = 'T';
// the second pass is done;
constexpr char kDone = 'E';
// the program stops with status a; the line follows (n bytes).
constexpr char kStop = 'S';
// To the child: the fourth variable chosen (n bytes follow).
constexpr char kName = 'N';

Frame frame(char kind, std::int32_t a = 0, std::int32_t b = 0, std::int32_t c = 0, std::uint64_t n = 0) {
    Frame f{};
    f.kind = kind;
    f.a = a;
    f.b = b;
    f.c = c;
    f.n = n;
    return f;
}

void put_text(NcLink& link, char kind, std::int32_t a, const std::string& text) {
    const Frame f = frame(kind, a, 0, 0, text.size());
    link.put(&f, sizeof f);
    link.put(text.data(), text.size());
}

// The child's sink: each piece of samples goes out as a frame, written in
// place in the link's buffer.
class LinkSink final : public NcSampleSink {
public:
    LinkSink(NcLink& link, std::atomic<std::size_t>& current) : current(current), link_(link) {}
    void dives_added(DiveTable&, int first, std::span<const int> sizes) override {
        const Frame f = frame(kDives, first, 0, 0, sizes.size());
        link_.put(&f, sizeof f);
        link_.put(sizes.data(), sizes.size_bytes());
    }
    Room samples(DiveTable&, int d, int column, int k, std::size_t count) override {
        const std::size_t values = NcLink::padded(count * sizeof(float));
        std::byte* p = link_.room(sizeof(Frame) + values + count * sizeof(Flag));
        const Frame f = frame(kSamples, d, column, k, count);
        std::memcpy(p, &f, sizeof f);
        return {reinterpret_cast<float*>(p + sizeof f), reinterpret_cast<Flag*>(p + sizeof f + values)};
    }
    // Where the parent finds it if the child dies.
    void file_starts(std::size_t i) override { current.store(i); }
    std::atomic<std::size_t>& current;

private:
    NcLink& link_;
};

void send_table(NcLink& link, const NcSetRead& set, const DiveTable& t) {
    // The candidates' names, then each text's name, long name and unit.
    std::string names;
    for (const std::string& c : set.candidates) names.append(c).push_back('\0');
    for (const ColumnText& c : set.texts)
        for (const std::string* s : {&c.name, &c.long_name, &c.unit}) names.append(*s).push_back('\0');
    const std::size_t n = static_cast<std::size_t>(t.size());
    const Frame f = frame(kTable, set.serial_no, static_cast<std::int32_t>(set.candidates.size()),
                          static_cast<std::int32_t>(names.size()), n);
    link.put(&f, sizeof f);
    link.put(t.dive_year.span().data(), 4 * n);
    link.put(t.dive_number.span().data(), 4 * n);
    link.put(t.cast.span().data(), n);
    for (const auto* a : {&t.day_start, &t.day_end, &t.lon_start, &t.lat_start, &t.lon_end, &t.lat_end})
        link.put(a->span().data(), 4 * n);
    link.put(names.data(), names.size());
}

// The child: both passes, every sample sent as it is read; a refusal goes
// back as the line it would print.
void child_reads(std::span<const NcSource> files, NcLink& link, std::atomic<std::size_t>& current) {
    LinkSink sink(link, current);
    try {
        try {
            DiveTable t;  // the dives' own values; the samples go to the parent
            const NcSetRead set = read_netcdf_set(files, t, sink);
            send_table(link, set, t);
            link.flush();
            if (set.candidates.empty()) return;
            Frame f{};
            if (!link.get(&f, sizeof f) || f.kind != kName || f.n > 4096) return;
            std::string name(f.n, '\0');
            if (!link.get(name.data(), name.size())) return;
            read_fourth_variable(files, set, name, t, sink);
            const Frame done = frame(kDone);
            link.put(&done, sizeof done);
            link.flush();
        } catch (const miscli::ProgramStop& stop) {
            put_text(link, kStop, stop.status, stop.line);
            link.flush();
        } catch (const std::bad_alloc&) {
            put_text(link, kStop, 1,
                     " " + files[current.load()].name + ": the file claims more than memory can hold (its header is damaged)");
            link.flush();
        }
    } catch (const NcLinkEnded&) {
        // The parent has gone.
    }
}

// Memory and processor time for reading the files: far more than any
// real file needs, little enough that a damaged header asking for
// gigabytes of a small file is stopped.
struct Allowance {
    std::size_t memory;
    long seconds;
};

Allowance allowance(std::span<const NcSource> files) {
    std::size_t bytes = 0;
    for (const NcSource& s : files) {
        std::error_code ec;
        const std::size_t size = s.in_memory ? s.bytes.size() : static_cast<std::size_t>(std::filesystem::file_size(s.name, ec));
        if (!ec) bytes += size;
    }
    constexpr std::size_t kBase = std::size_t{1} << 30;
    const std::size_t most = std::numeric_limits<std::size_t>::max() / 2;
    const std::size_t memory = bytes > (most - kBase) / 64 ? most : kBase + 64 * bytes;
    const long seconds = 60 + static_cast<long>(bytes / (std::size_t{4} << 20));
    return {memory, seconds};
}

// This process's side: the table as the child's frames build it.
class Parent {
public:
    Parent(NcChild& child, std::span<const NcSource> files, DiveTable& t) : child_(child), files_(files), t_(t) {}

    // Frames up to the end of the first pass; gives its serial number,
    // candidates and texts.
    void first_pass(NcSetRead& set) {
        for (;;) {
            const Frame f = next();
            if (f.kind == kTable) return table(f, set);
            if (!samples_or_dives(f, 1, 3)) broken();
        }
    }

    void second_pass(const std::string& name) {
        try {
            put_text(child_.link(), kName, 0, name);
            child_.link().flush();
        } catch (const NcLinkEnded&) {
            failed();
        }
        for (;;) {
            const Frame f = next();
            if (f.kind == kDone) return;
            if (f.kind == kDives || !samples_or_dives(f, 4, 4)) broken();
        }
    }

private:
    // The next frame; the child's stop ends the program here.
    Frame next() {
        Frame f{};
        if (!child_.link().get(&f, sizeof f)) failed();
        if (f.kind == kStop) {
            if (f.n > (std::size_t{1} << 20)) broken();
            std::string line(f.n, '\0');
            if (!child_.link().get(line.data(), line.size())) failed();
            miscli::stop(line, f.a);
        }
        return f;
    }

    bool samples_or_dives(const Frame& f, int first_column, int last_column) {
        if (f.kind == kDives) {
            const int first = t_.size() + 1;
            if (f.a != first || f.n > static_cast<std::uint64_t>(MXPR - t_.size())) return false;
            std::vector<int> sizes(f.n);
            if (!child_.link().get(sizes.data(), sizes.size() * sizeof(int))) failed();
            for (int n : sizes)
                if (n < 0 || n > MXZ) return false;
            t_.resize(t_.size() + static_cast<int>(sizes.size()));
            for (std::size_t j = 0; j < sizes.size(); ++j) {
                t_.n_samp(first + static_cast<int>(j)) = sizes[j];
                t_.dive_weight(first + static_cast<int>(j)) = 0.0f;
            }
            make_sample_room(t_, first, sizes);
            return true;
        }
        if (f.kind != kSamples || f.a < 1 || f.a > t_.size() || f.b < first_column || f.b > last_column || f.c < 0 ||
            f.n > static_cast<std::uint64_t>(t_.n_samp(f.a) - f.c))
            return false;
        const std::size_t n = f.n;
        float* value = t_.prof.column(f.a, f.b).data() + f.c;
        Flag* flag = t_.prof_flag.column(f.a, f.b).data() + f.c;
        if (!child_.link().get(value, n * sizeof(float)) || !child_.link().get(flag, n * sizeof(Flag))) failed();
        return true;
    }

    void table(const Frame& f, NcSetRead& set) {
        const std::size_t n = static_cast<std::size_t>(t_.size());
        if (f.n != n || f.b < 0 || f.c < 0 || f.c > (1 << 26)) broken();
        bool whole = child_.link().get(t_.dive_year.span().data(), 4 * n) &&
                     child_.link().get(t_.dive_number.span().data(), 4 * n) && child_.link().get(t_.cast.span().data(), n);
        for (auto* a : {&t_.day_start, &t_.day_end, &t_.lon_start, &t_.lat_start, &t_.lon_end, &t_.lat_end})
            whole = whole && child_.link().get(a->span().data(), 4 * n);
        std::string names(static_cast<std::size_t>(f.c), '\0');
        if (!whole || !child_.link().get(names.data(), names.size())) failed();
        std::vector<std::string> strings;
        for (std::size_t at = 0; at < names.size();) {
            const std::size_t end = names.find('\0', at);
            if (end == std::string::npos) broken();
            strings.push_back(names.substr(at, end - at));
            at = end + 1;
        }
        const std::size_t n_candidates = static_cast<std::size_t>(f.b);
        if (strings.size() != n_candidates + 3 * (3 + n_candidates)) broken();
        set.candidates.assign(strings.begin(), strings.begin() + f.b);
        for (std::size_t i = n_candidates; i < strings.size(); i += 3)
            set.texts.push_back({strings[i], strings[i + 1], strings[i + 2]});
        set.serial_no = f.a;
    }

    [[noreturn]] void failed() {
        const std::string how = child_.how_it_ended();
        const std::size_t file = std::min(child_.shared_number().load(), files_.size() - 1);  // never empty
        miscli::stop(" " + files_[file].name + ": the netCDF library failed on this file (" + how + ")");
    }
    [[noreturn]] void broken() { miscli::stop(" Internal error: the netCDF reader's child sent a damaged table"); }

    NcChild& child_;
    std::span<const NcSource> files_;
    DiveTable& t_;
};

}  // namespace

void read_glider_netcdf(std::span<const NcSource> files, FileHeader& header, DiveTable& t) {
    if (files.empty()) return read_glider_netcdf_here(files, header, t);
    header = FileHeader();
    t = DiveTable();
    const Allowance a = allowance(files);
    std::optional<NcChild> child;
    try {
        child.emplace(a.memory, a.seconds,
                      [files](NcLink& link, std::atomic<std::size_t>& current) { child_reads(files, link, current); });
    } catch (const std::system_error&) {
        // No child to be had: read here, as before there were children.
        read_glider_netcdf_here(files, header, t);
        return;
    }
    Parent parent(*child, files, t);
    NcSetRead set;
    parent.first_pass(set);
    const std::string name = tell_and_ask(t.size(), files.size(), set.candidates);
    if (name.empty()) no_fourth_variable(t);
    else parent.second_pass(name);
    child.reset();
    fill_netcdf_header(set, name, t.size(), header);
}

}  // namespace data
