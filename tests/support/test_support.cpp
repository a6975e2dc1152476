#include "support/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "miscli/console.h"

namespace testing_support {

std::string with_console(const std::string& input, const std::function<void()>& f,
                         miscli::ProgramStop* stopped) {
    std::istringstream in(input);
    std::ostringstream out;
    miscli::ConsoleRedirect guard(in, out);
    try {
        f();
    } catch (const miscli::ProgramStop& s) {
        if (!stopped) throw;
        *stopped = s;
    }
    return out.str();
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("glidersect-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
             std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

RunResult run_program(const std::filesystem::path& dir, const std::string& input,
                      const std::vector<std::string>& args, bool apart) {
    auto in_path = dir / ".stdin.txt";
    auto out_path = dir / ".stdout.txt";
    auto err_path = dir / ".stderr.txt";
    write_file(in_path, input);
    std::string cmd = "cd '" + dir.string() + "' && timeout 120 '" GLIDERSECT_BINARY "'";
    for (const auto& a : args) cmd += " '" + a + "'";
    cmd += " < '" + in_path.string() + "' > '" + out_path.string() + "' 2>" +
           (apart ? "'" + err_path.string() + "'" : std::string("&1"));
    int rc = std::system(cmd.c_str());
    RunResult r;
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.output = read_file(out_path);
    if (apart) r.errors = read_file(err_path);
    std::filesystem::remove(in_path);
    std::filesystem::remove(out_path);
    std::filesystem::remove(err_path);
    return r;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream s(text);
    std::string line;
    while (std::getline(s, line)) lines.push_back(line);
    return lines;
}

std::string read_file(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void write_file(const std::filesystem::path& p, const std::string& text) {
    std::ofstream f(p, std::ios::binary);
    f << text;
}

WorkingDir::WorkingDir(const std::filesystem::path& dir) : before_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
}

WorkingDir::~WorkingDir() { std::filesystem::current_path(before_); }

bool have_ghostscript() { return std::system("gs --version > /dev/null 2>&1") == 0; }

RunResult render_eps(const std::filesystem::path& eps, const std::filesystem::path& png) {
    const std::string cmd = "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=png16m -r60 -dEPSCrop -sOutputFile='" +
                            png.string() + "' '" + eps.string() + "' 2>&1";
    RunResult r;
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.output += buf;
    const int rc = pclose(p);
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return r;
}

std::filesystem::path test_file(const std::string& name) { return std::filesystem::path(GLIDERSECT_TEST_FILES) / name; }

std::filesystem::path nc_test_file(const std::string& name) {
    return std::filesystem::path(GLIDERSECT_NC_FILES) / (name + ".nc");
}

bool make_netcdf(const std::string& cdl, const std::filesystem::path& out, std::string* said) {
    const std::filesystem::path text = out.string() + ".cdl", log = out.string() + ".log";
    write_file(text, cdl);
    const std::string cmd =
        "'" GLIDERSECT_NCGEN "' -o '" + out.string() + "' '" + text.string() + "' > '" + log.string() + "' 2>&1";
    const int rc = std::system(cmd.c_str());
    if (said) *said = read_file(log);
    std::filesystem::remove(text);
    std::filesystem::remove(log);
    return rc == 0;
}

}  // namespace testing_support
