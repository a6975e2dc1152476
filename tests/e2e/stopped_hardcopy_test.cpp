// A run stopped by a signal while its hardcopy is written leaves nothing:
// no file under the hardcopy's name, no temporary, the older files as they
// were; one line says so.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// The program in `dir` on the session in `script`, its console read as it
// comes.
class Running {
public:
    Running(const fs::path& dir, const std::string& script, const std::vector<std::string>& args) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(dir.c_str()) != 0) _exit(127);
            const int in = open(script.c_str(), O_RDONLY);
            dup2(in, 0);
            dup2(fds[1], 1);
            dup2(fds[1], 2);
            close(fds[0]);
            std::vector<char*> argv{const_cast<char*>(GLIDERSECT_BINARY)};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(GLIDERSECT_BINARY, argv.data());
            _exit(127);
        }
        close(fds[1]);
        out_ = fds[0];
    }
    ~Running() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }
    // Reads the console until `line` is one of its lines or it ends (or a
    // minute passes); true when the line came.
    bool shows(const std::string& line) {
        for (int waited = 0; waited < 600; ++waited) {
            if (("\n" + console_).find("\n" + line + "\n") != std::string::npos) return true;
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 100) > 0 && !read_some()) return false;
        }
        return false;
    }
    // Sends the signal and gives the wait status once the program ends.
    int stop_with(int sig) {
        kill(pid_, sig);
        while (read_some()) {
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        ended_ = true;
        return status;
    }
    const std::string& console() const { return console_; }

private:
    bool read_some() {
        char buf[4096];
        const ssize_t n = read(out_, buf, sizeof buf);
        if (n <= 0) return false;
        console_.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string console_;
    bool ended_ = false;
};

std::vector<std::string> files_in(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(StoppedHardcopy, ASignalWhileItIsWrittenLeavesNoFileAndSaysSo) {
    TempDir dir;
    // Large enough that its PDF takes a good part of a second to make and
    // finish: the signal comes meanwhile.
    const fs::path gen_sci = fs::path(GLIDERSECT_BINARY).parent_path() / "gen_sci";
    ASSERT_EQ(std::system(("'" + gen_sci.string() + "' --dives 600 --samples 400 --bins 0 '" +
                           (dir / "big.SCI").string() + "' > /dev/null")
                              .c_str()),
              0);
    write_file(dir / "session.txt", "big.SCI\nclick\nkey G\ntype 1 600\nN\nS\nT\nD\nS\n0 200\nkey Q\ntype Big\nkey H\n");
    write_file(dir / "OUT01.PDF", "older");
    struct Case {
        int signal;
        std::string line;
        int status;
    } cases[] = {
        {SIGTERM, " Stopped by SIGTERM; OUT02.PDF is not written and the run ends.", 1},
        {SIGHUP, " Stopped by SIGHUP; OUT02.PDF is not written and the run ends.", 1},
        {SIGINT, " Interrupted; OUT02.PDF is not written and the run ends.", 130},
    };
    for (const Case& c : cases) {
        Running run(dir.path(), (dir / "session.txt").string(), {"--headless", "--hardcopy", "pdf"});
        ASSERT_TRUE(run.shows(" Open OUT02.PDF")) << run.console();
        const int status = run.stop_with(c.signal);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.status) << c.line << ": wait status " << status;
        EXPECT_EQ(lines_of(run.console()).back(), c.line);
        EXPECT_EQ(files_in(dir.path()), (std::vector<std::string>{"OUT01.PDF", "big.SCI", "session.txt"}));
        EXPECT_EQ(read_file(dir / "OUT01.PDF"), "older");
    }
}
