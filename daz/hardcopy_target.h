#pragma once
// The file of one hardcopy. The picture goes to an unnamed file in the
// folder of its name (where the file system has none, to a temporary with
// a short name of its own) and takes its name only when it is complete, in
// one step: a write that fails or is stopped (a full disk, a file size
// limit, a signal) leaves nothing under that name and no temporary.
// Standard output, a device or a FIFO is written to directly.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace daz {

class HardcopyTarget {
public:
    HardcopyTarget() = default;
    ~HardcopyTarget() { abandon(); }
    HardcopyTarget(const HardcopyTarget&) = delete;
    HardcopyTarget& operator=(const HardcopyTarget&) = delete;

    // With an empty `name`: the first free OUT01.<ext> .. OUT99.<ext>, so
    // no other file is ever overwritten. "-": standard output. Otherwise
    // `name`: a device or FIFO is written to, anything else is the file
    // made or replaced (through a symbolic link, the file it names) when
    // the picture is complete. Gives false with the console line in
    // `error`; a signal noted while the file is made ends the run.
    bool open(const std::string& name, std::string_view extension, std::string& error);
    bool is_open() const { return open_; }
    // As the console names it: "OUT01.EPS", "standard output".
    const std::string& name() const { return name_; }
    // Writes bytes (gathered, and handed to the file in large pieces); the
    // first failure is kept for commit.
    void write(const char* data, std::size_t n);
    // Finishes the writes and gives the file its name; an OUTnn name some
    // other program has taken meanwhile gives way to the next free one
    // (name() then tells it). False with the console line in `error` when
    // anything failed; then nothing is left behind.
    bool commit(std::string& error);
    // Drops the picture: nothing takes its name.
    void abandon();

private:
    enum class Kind { Numbered, Named, Direct };

    bool make_file(std::string& error);
    void arm_for_signals() const;
    int claim_name();
    int link_unnamed(const std::string& to) const;
    void flush();
    int close_file();

    Kind kind_ = Kind::Numbered;
    bool open_ = false;          // a picture is being written
    std::vector<char> pending_;  // bytes not yet handed to the file
    int fd_ = -1;
    std::string name_;       // as shown on the console
    std::string path_;       // where the file goes
    std::string folder_;     // of path_, with its '/', or empty for here
    std::string temp_;       // a named temporary, or empty
    std::string extension_;  // of the OUTnn names
    int number_ = 0;         // of the OUTnn name
    int error_ = 0;          // errno of the first failure
};

}  // namespace daz
