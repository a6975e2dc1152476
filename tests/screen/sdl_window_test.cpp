// The SDL backend: events under the dummy video driver, a real window on a
// private X server driven by xdotool, and the real program's end when that
// server goes away or the program is told to stop.
#include <gtest/gtest.h>
#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "screen/screen.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the lifetime of the guard.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~EnvVar() {
        if (had_) setenv(name_, old_.c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

void open_plot_window(int w, int h) {
    screen::WindowRecord r;
    r.width = w;
    r.height = h;
    screen::windowopen_(r, 0);
    screen::igrarea_(0, 0, 1, 1);
    screen::igrunits_(0, 0, 10, 8);
    screen::igrcolourmodel_(24);
}

void fill_red_square() {
    screen::igrcolourn_(255);
    std::vector<float> x{2, 4, 4, 2}, y{2, 2, 4, 4};
    screen::igrpolygoncomplex_(x, y, 4);
}

struct Received {
    int type = 0;
    screen::EventRecord e;
};

Received next() {
    Received r;
    screen::wmessage_(r.type, r.e);
    return r;
}

void push_text(const char* text) {
    SDL_Event ev{};
    ev.type = SDL_TEXTINPUT;
    std::snprintf(ev.text.text, sizeof ev.text.text, "%s", text);
    SDL_PushEvent(&ev);
}

void push_key(SDL_Keycode sym, int repeat = 0) {
    SDL_Event ev{};
    ev.type = SDL_KEYDOWN;
    ev.key.keysym.sym = sym;
    ev.key.repeat = static_cast<Uint8>(repeat);
    SDL_PushEvent(&ev);
}

void push_click(int x, int y) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEBUTTONDOWN;
    ev.button.x = x;
    ev.button.y = y;
    SDL_PushEvent(&ev);
}

TEST(SdlWindow, DummyDriverTurnsSdlEventsIntoLayerEvents) {
    EnvVar driver("SDL_VIDEODRIVER", "dummy");
    screen::configure(false, false);
    open_plot_window(640, 480);
    ASSERT_TRUE(screen::window_is_open());
    fill_red_square();
    double px, py;
    screen::user_to_pixel(3, 3, px, py);
    EXPECT_EQ(screen::pixel_at(int(px), int(py)), (screen::Rgb{255, 0, 0}));

    push_text("aB\xce\xb8");  // θ: a key of its own code
    push_key(SDLK_x, 1);  // auto-repeats of a held key, with their text, answer nothing
    push_text("x");
    push_key(SDLK_RETURN, 1);
    push_key(SDLK_LSHIFT);  // a modifier alone is no key
    push_key(SDLK_RETURN);
    push_key(SDLK_BACKSPACE);
    push_click(639, 0);
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    ev.window.data1 = 320;
    ev.window.data2 = 240;
    SDL_PushEvent(&ev);
    push_click(160, 120);
    ev = {};
    ev.type = SDL_QUIT;
    SDL_PushEvent(&ev);

    auto a = next(), b = next(), theta = next(), enter = next(), back = next(), click = next();
    EXPECT_EQ(a.type, screen::kKeyPress);
    EXPECT_EQ(a.e.value[0], 'a');
    EXPECT_EQ(b.e.value[0], 'B');
    EXPECT_EQ(theta.e.value[0], 0x3B8);
    EXPECT_EQ(enter.e.value[0], 13);
    EXPECT_EQ(back.e.value[0], 8);
    EXPECT_EQ(click.type, screen::kButtonPress);
    EXPECT_FLOAT_EQ(click.e.gx, 10);
    EXPECT_FLOAT_EQ(click.e.gy, 8);
    EXPECT_EQ(click.e.x, 9999);
    EXPECT_EQ(click.e.y, 0);
    auto after_resize = next();  // the resize itself is the layer's own
    int w, h;
    screen::window_size(w, h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_NEAR(after_resize.e.gx, 160 * 10.0 / 319, 1e-4);
    // The old picture is scaled onto the new size.
    screen::user_to_pixel(3, 3, px, py);
    EXPECT_EQ(screen::pixel_at(int(px), int(py)), (screen::Rgb{255, 0, 0}));
    miscli::ProgramStop stop{"", 1};
    try {
        next();
    } catch (const miscli::ProgramStop& s) {
        stop = s;
    }
    EXPECT_EQ(stop.status, 0);  // closing the window ends the run normally
    EXPECT_NE(stop.line.find("closed"), std::string::npos);
    screen::windowclose_();
    screen::configure(true, false);
}

// An X server of our own on a free display number, stopped at the end.
class PrivateXServer {
public:
    bool start(std::string& why) {
        if (std::system("command -v Xvfb > /dev/null 2>&1") != 0) {
            why = "Xvfb is not installed (tools/install_deps.sh installs it)";
            return false;
        }
        for (int n = 71; n < 200; ++n) {
            std::string sock = "/tmp/.X11-unix/X" + std::to_string(n), lock = "/tmp/.X" + std::to_string(n) + "-lock";
            if (fs::exists(sock) || fs::exists(lock)) continue;
            std::string disp = std::to_string(n);
            disp.insert(0, 1, ':');
            pid_ = fork();
            if (pid_ == 0) {
                int devnull = open("/dev/null", O_WRONLY);
                dup2(devnull, 1);
                dup2(devnull, 2);
                execlp("Xvfb", "Xvfb", disp.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", nullptr);
                _exit(127);
            }
            for (int i = 0; i < 100; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                int status;
                if (waitpid(pid_, &status, WNOHANG) == pid_) {
                    pid_ = -1;
                    break;  // lost the race for this number; try the next
                }
                // Up once it answers a client.
                if (fs::exists(sock) &&
                    std::system(("DISPLAY=" + disp + " xdotool getdisplaygeometry > /dev/null 2>&1").c_str()) == 0) {
                    display_ = disp;
                    return true;
                }
            }
            stop();
        }
        why = "Xvfb did not start on any display number from :71 to :199";
        return false;
    }
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    ~PrivateXServer() { stop(); }
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

std::uint32_t be32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

// Bounding box of the pure red pixels in an xwd picture of an Xvfb screen
// (24 or 32 bits per pixel, least significant byte first).
bool red_box_on_screen(const std::string& xwd, int& x0, int& y0, int& x1, int& y1, std::string& why) {
    if (xwd.size() < 100 || be32(xwd, 28) != 0 || (be32(xwd, 44) != 24 && be32(xwd, 44) != 32)) {
        why = "the screenshot is not in the expected layout";
        return false;
    }
    std::uint32_t width = be32(xwd, 16), height = be32(xwd, 20), line = be32(xwd, 48), step = be32(xwd, 44) / 8;
    std::size_t data = be32(xwd, 0) + 12 * std::size_t(be32(xwd, 76));
    if (xwd.size() < data + std::size_t(line) * height) {
        why = "the screenshot is cut short";
        return false;
    }
    x0 = y0 = 1 << 30;
    x1 = y1 = -1;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const char* p = xwd.data() + data + std::size_t(y) * line + step * x;
            if (static_cast<unsigned char>(p[2]) == 255 && p[1] == 0 && p[0] == 0) {
                x0 = std::min<int>(x0, x);
                y0 = std::min<int>(y0, y);
                x1 = std::max<int>(x1, x);
                y1 = std::max<int>(y1, y);
            }
        }
    if (x1 < 0) why = "no red pixel on the screen";
    return x1 >= 0;
}

// A shell command that waits up to 20 s for our window to show and leaves
// its id in $w. The search is tried again and again rather than once with
// --sync: a window that goes while xdotool walks the tree (the library makes
// and drops some of its own) ends xdotool with an X error, not a retry.
std::string find_our_window() {
    return "w=; for i in $(seq 100); do"
           " w=$(xdotool search --onlyvisible --name 'DAZ Graphics' 2>/dev/null | head -1);"
           " [ -n \"$w\" ] && break; sleep 0.2; done; [ -n \"$w\" ]";
}

TEST(SdlWindow, RealWindowOnAnXServerGetsTypedKeysAndClicks) {
    ASSERT_EQ(std::system("command -v xdotool > /dev/null 2>&1"), 0)
        << "xdotool is not installed (tools/install_deps.sh installs it)";
    PrivateXServer x;
    std::string why;
    ASSERT_TRUE(x.start(why)) << why;
    EnvVar display("DISPLAY", x.display().c_str());
    EnvVar driver("SDL_VIDEODRIVER", "x11");
    testing_support::TempDir dir;
    // Leave the X server before it stops, whatever fails below.
    struct Headless {
        ~Headless() { screen::configure(true, false); }
    } back_to_headless;

    try {
        screen::configure(false, false);
        open_plot_window(640, 480);
    } catch (const miscli::ProgramStop& s) {
        FAIL() << "the window did not open:" << s.line;
    }
    ASSERT_TRUE(screen::window_is_open());
    fill_red_square();

    // The user: focus the window; hold x down past the auto-repeat delay;
    // hold Enter down while the focus is away and comes back; type a, B,
    // Enter; click at (320, 120). The held keys answer once and not at all.
    std::string script =
        "export DISPLAY=" + x.display() +
        "; " + find_our_window() +
        " && root=$(xdotool search --maxdepth 0 --name '' | head -1)"
        " && xdotool windowfocus --sync $w && sleep 0.3"
        " && xdotool keydown x && sleep 1 && xdotool keyup x"
        // (with the focus on the root window keys go to the window under
        // the pointer, so the pointer goes off ours first)
        " && xdotool mousemove 2 2 && xdotool windowfocus $root && sleep 0.2"
        " && xdotool keydown Return && sleep 0.2"
        " && xdotool windowfocus --sync $w && sleep 1 && xdotool keyup Return && sleep 0.2"
        " && xdotool type --delay 50 aB && xdotool key Return"
        " && xdotool mousemove --window $w 320 120 && sleep 0.2 && xdotool click 1";
    std::string log = (dir / "xdotool.txt").string();
    pid_t user = fork();
    if (user == 0) {
        setpgid(0, 0);
        execl("/bin/sh", "sh", "-c", (script + " > '" + log + "' 2>&1").c_str(), nullptr);
        _exit(127);
    }
    // Never wait for ever: a closed window ends the waiting.
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 300 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!done) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    });
    std::vector<Received> got;
    std::string stopped;
    try {
        for (int i = 0; i < 5; ++i) got.push_back(next());
    } catch (const miscli::ProgramStop& s) {
        stopped = "no input within 30 s; xdotool said: " + testing_support::read_file(log);
    }
    done = true;
    watchdog.join();
    if (got.size() < 5) kill(-user, SIGKILL);
    waitpid(user, nullptr, 0);
    ASSERT_EQ(got.size(), 5u) << stopped;
    std::string keys;
    for (std::size_t i = 0; i < 4; ++i)
        keys += got[i].type == screen::kKeyPress ? static_cast<char>(got[i].e.value[0]) : '$';
    EXPECT_EQ(keys, "xaB\r");
    EXPECT_EQ(got[4].type, screen::kButtonPress);
    EXPECT_NEAR(got[4].e.gx, 320 * 10.0 / 639, 1e-4);
    EXPECT_NEAR(got[4].e.gy, (479 - 120) * 8.0 / 479, 1e-4);
    EXPECT_EQ(got[4].e.x, 9999 * 320 / 639);
    EXPECT_EQ(got[4].e.y, 9999 * 120 / 479);

    // What the window shows: the square is on the X server's screen.
    std::string shot = (dir / "screen.xwd").string();
    ASSERT_EQ(std::system(("xwd -root -silent -display " + x.display() + " > '" + shot + "'").c_str()), 0)
        << "xwd failed (tools/install_deps.sh installs x11-apps)";
    why.clear();
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(red_box_on_screen(testing_support::read_file(shot), x0, y0, x1, y1, why)) << why;
    double ax, ay, bx, by;
    screen::user_to_pixel(2, 4, ax, ay);
    screen::user_to_pixel(4, 2, bx, by);
    EXPECT_NEAR(x1 - x0, bx - ax, 2);
    EXPECT_NEAR(y1 - y0, by - ay, 2);
    screen::windowclose_();
    screen::configure(true, false);
}

// The built program with a real window on an X server of the test's, its
// console answers through a pipe and its output in a file.
class ProgramOnDisplay {
public:
    ProgramOnDisplay(const fs::path& dir, const std::string& display) : output_(dir / "console.txt") {
        EnvVar shown_on("DISPLAY", display.c_str());
        EnvVar driver("SDL_VIDEODRIVER", "x11");
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[0], 0);
            close(fds[0]);
            close(fds[1]);
            int out = open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(out, 2);
            if (chdir(dir.c_str()) != 0) _exit(127);
            execl(GLIDERSECT_BINARY, GLIDERSECT_BINARY, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[0]);
        input_ = fds[1];
    }
    ~ProgramOnDisplay() {
        if (input_ >= 0) close(input_);
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    ProgramOnDisplay(const ProgramOnDisplay&) = delete;
    ProgramOnDisplay& operator=(const ProgramOnDisplay&) = delete;

    pid_t pid() const { return pid_; }
    std::string console() const { return testing_support::read_file(output_); }
    bool answer(const std::string& line) {
        std::string text = line + "\n";
        return write(input_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
    // Waits up to `seconds` for the console to show the text.
    bool shows(const std::string& text, double seconds) const {
        for (double t = 0; t < seconds; t += 0.05) {
            if (console().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    // Waits up to `seconds` for the program to end; gives its wait status,
    // or -1 while it still runs.
    int ended_within(double seconds) {
        for (double t = 0; t < seconds; t += 0.05) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }

private:
    fs::path output_;
    pid_t pid_ = -1;
    int input_ = -1;
    bool ended_ = false;
};

TEST(SdlWindow, TheRunEndsWithOneLineWhenItsXServerGoesOrOnSigterm) {
    ASSERT_EQ(std::system("command -v xdotool > /dev/null 2>&1"), 0)
        << "xdotool is not installed (tools/install_deps.sh installs it)";
    struct Case {
        const char* what;
        bool window_open, server_goes;
    };
    const Case cases[] = {
        {"the X server goes while the window waits", true, true},
        {"SIGTERM while the window waits", true, false},
        {"SIGTERM while the console waits", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PrivateXServer x;
        std::string why;
        ASSERT_TRUE(x.start(why)) << why;
        testing_support::TempDir dir;
        fs::copy_file(testing_support::test_file("small.SCI"), dir / "small.SCI");
        ProgramOnDisplay run(dir.path(), x.display());
        ASSERT_TRUE(run.shows("Name *.SCI file", 20)) << run.console();
        if (c.window_open) {
            ASSERT_TRUE(run.answer("small.SCI"));
            ASSERT_EQ(std::system(("export DISPLAY=" + x.display() + "; " + find_our_window()).c_str()), 0)
                << "no window: " << run.console();
        }
        if (c.server_goes) x.stop();
        else kill(run.pid(), SIGTERM);
        // Generous: the program's own bound is a second.
        const int status = run.ended_within(20);
        ASSERT_NE(status, -1) << "still running: " << run.console();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "wait status " << status;
        const auto lines = testing_support::lines_of(run.console());
        ASSERT_EQ(lines.size(), c.window_open ? 3u : 1u + 1u) << run.console();
        EXPECT_EQ(lines.back(), c.server_goes ? " Lost the connection to the display " + x.display() + "; the run ends."
                                              : std::string(" Stopped by SIGTERM; the run ends."));
    }
}

}  // namespace
