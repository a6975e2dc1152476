#pragma once
// Helpers shared by the tests: console capture, temporary folders, running
// the built program on a session.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "miscli/stop.h"

namespace testing_support {

// Runs f with the console reading `input` and gives what it wrote. A
// ProgramStop escaping f is caught and stored in *stopped when given.
std::string with_console(const std::string& input, const std::function<void()>& f,
                         miscli::ProgramStop* stopped = nullptr);

// A fresh empty folder, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

struct RunResult {
    int status = -1;
    std::string output;  // standard output and standard error, or only standard output
    std::string errors;  // standard error, when kept apart
};

// Runs the built program in `dir` with `input` on its standard input; with
// `apart`, standard error is kept in `errors` rather than mixed into `output`.
RunResult run_program(const std::filesystem::path& dir, const std::string& input,
                      const std::vector<std::string>& args = {}, bool apart = false);

// Lines of a text, without their line ends.
std::vector<std::string> lines_of(const std::string& text);

std::string read_file(const std::filesystem::path& p);
void write_file(const std::filesystem::path& p, const std::string& text);

// Runs the code with the working directory set to dir (hardcopies are
// written to the working directory).
class WorkingDir {
public:
    explicit WorkingDir(const std::filesystem::path& dir);
    ~WorkingDir();
    WorkingDir(const WorkingDir&) = delete;
    WorkingDir& operator=(const WorkingDir&) = delete;

private:
    std::filesystem::path before_;
};

// Ghostscript's verdict on an EPS file: its exit status and what it printed
// (PostScript errors come on its standard output). The PNG is written at 60 dpi.
bool have_ghostscript();
RunResult render_eps(const std::filesystem::path& eps, const std::filesystem::path& png);

// Path of a file kept in tests/files.
std::filesystem::path test_file(const std::string& name);

// Path of a netCDF test file, made by ncgen from tests/files/netcdf/<name>.cdl.
std::filesystem::path nc_test_file(const std::string& name);

// Writes a netCDF file from CDL text with ncgen; gives false (and what ncgen
// said) when it cannot.
bool make_netcdf(const std::string& cdl, const std::filesystem::path& out, std::string* said = nullptr);

}  // namespace testing_support
