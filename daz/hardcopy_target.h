#pragma once
// The file of one hardcopy. The picture goes to a temporary name in the
// same folder and takes its final name only when it is complete, so an
// error on the way (a full disk, a file size limit) leaves nothing
// half-written under that name.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "daz/file_writer.h"

namespace daz {

class HardcopyTarget {
public:
    HardcopyTarget() = default;
    ~HardcopyTarget() { abandon(); }
    HardcopyTarget(const HardcopyTarget&) = delete;
    HardcopyTarget& operator=(const HardcopyTarget&) = delete;

    // With an empty `name`: the first free OUT01.<ext> .. OUT99.<ext>,
    // reserved by creating it empty, so no other file is ever overwritten.
    // Otherwise `name`, which is replaced when the picture is complete.
    // Gives false with the console line in `error`.
    bool open(const std::string& name, std::string_view extension, std::string& error);
    bool is_open() const { return file_ != nullptr; }
    const std::string& name() const { return name_; }
    // Writes bytes; the first failure is kept for commit.
    void write(const char* data, std::size_t n);
    // Closes the file and gives it its final name. False with the console
    // line in `error` when anything failed; then nothing is left behind.
    bool commit(std::string& error);
    // Drops the file and the reserved name.
    void abandon();

private:
    void note_error();
    void remove_files();

    std::unique_ptr<FileWriter> file_;  // writes on a thread of its own
    std::string name_, temp_;
    bool reserved_ = false;  // name_ was created empty by open
    int error_ = 0;          // errno of the first failure
};

}  // namespace daz
