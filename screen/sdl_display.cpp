#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <optional>
#include <iostream>
#include <streambuf>
#include <string_view>
#include <utility>

#include "miscli/stop.h"
#include "miscli/utf8.h"
#include "screen/display.h"
#include "screen/interrupts.h"
#include "screen/screen.h"
#include "screen/sdl_library.h"
#include "screen/x11_connection.h"

namespace screen {

namespace {

class SdlDisplay final : public CanvasDisplay {
public:
    ~SdlDisplay() override { close(); }
    void open(int x, int y, int width, int height, const std::string& title) override;
    void close() override;
    void present() override;
    DisplayEvent next_event(const UnitBox& units) override;

private:
    void translate(const SDL_Event& ev);
    DisplayEvent key_at_pointer(int code);

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int texture_w_ = 0, texture_h_ = 0;
    std::deque<DisplayEvent> queue_;
    // One press, one answer. Each flag is about the very next event: SDL
    // makes the key-down right after the window system's own event of the
    // same press, and the key's text right after the key-down.
    FocusHeldKeys held_keys_;
    bool replayed_press_ = false;  // the next key-down is a held key's repeat
    bool key_left_out_ = false;    // so is the next text
};

// Standard error goes to /dev/null while the guard lives: the display
// libraries write their own notes there while they start ("XDG_RUNTIME_DIR
// is invalid or not set"), which are no concern of the user's. What goes
// wrong comes back through SDL_GetError instead.
class QuietStderr {
public:
    QuietStderr() : saved_(::dup(STDERR_FILENO)) {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_;
};

// SDL's video part, with the X connection watched; false with the reason
// when it cannot be started.
bool start_sdl_video(std::string& reason) {
    if (!load_sdl_library(reason)) return false;
    sdl().set_hint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    const QuietStderr quiet;
    if (sdl().init(SDL_INIT_VIDEO) != 0) {
        reason = sdl().get_error();
        return false;
    }
    watch_x_connection();
    return true;
}

void SdlDisplay::open(int x, int y, int width, int height, const std::string& title) {
    // Our own handler deals with Ctrl-C (SDL's would swallow it while the
    // program reads the console).
    std::string why;
    if (!start_sdl_video(why))
        miscli::stop(" Cannot open the graphics window (" + why +
                     "); run glidersect --headless to read the session from standard input.");
    if (width < 1 || height < 1) {
        SDL_DisplayMode mode;
        if (sdl().get_desktop_display_mode(0, &mode) == 0) {
            if (width < 1) width = mode.w * 8 / 10;
            if (height < 1) height = mode.h * 8 / 10;
        } else {
            if (width < 1) width = 1000;
            if (height < 1) height = 800;
        }
    }
    const QuietStderr quiet;
    window_ = sdl().create_window(title.c_str(), x < 0 ? SDL_WINDOWPOS_CENTERED : x,
                                  y < 0 ? SDL_WINDOWPOS_CENTERED : y, width, height,
                                  SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (window_) {
        renderer_ = sdl().create_renderer(window_, -1, 0);
        if (!renderer_) renderer_ = sdl().create_renderer(window_, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!window_ || !renderer_) {
        why = sdl().get_error();
        close();
        miscli::stop(" Cannot open the graphics window (" + why +
                     "); run glidersect --headless to read the session from standard input.");
    }
    sdl().get_window_size(window_, &width, &height);
    canvas_.create(width, height, Rgb{255, 255, 255});
    sdl().start_text_input();
    // The window system's own events tell which keys were held when the
    // focus came.
    sdl().event_state(SDL_SYSWMEVENT, SDL_ENABLE);
    held_keys_.forget();
    replayed_press_ = key_left_out_ = false;
    open_ = true;
}

void SdlDisplay::close() {
    // Without its server SDL would wait for an answer for ever; the handles
    // go with the process.
    if (!x_connection_lost()) {
        if (texture_) sdl().destroy_texture(texture_);
        if (renderer_) sdl().destroy_renderer(renderer_);
        if (window_) sdl().destroy_window(window_);
    }
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    texture_w_ = texture_h_ = 0;
    queue_.clear();
    canvas_.destroy();
    // SDL itself stays up: the next plot opens its window at once, and the
    // libraries it loaded stay for the run.
    open_ = false;
}

void SdlDisplay::present() {
    if (!renderer_ || !canvas_.valid() || x_connection_lost()) return;
    if (!texture_ || texture_w_ != canvas_.width() || texture_h_ != canvas_.height()) {
        if (texture_) sdl().destroy_texture(texture_);
        // cairo's ARGB32 rows are exactly this pixel format.
        texture_ = sdl().create_texture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                        canvas_.width(), canvas_.height());
        texture_w_ = canvas_.width();
        texture_h_ = canvas_.height();
        if (!texture_) return;
    }
    const unsigned char* pixels = canvas_.data();
    sdl().update_texture(texture_, nullptr, pixels, canvas_.stride());
    sdl().render_clear(renderer_);
    sdl().render_copy(renderer_, texture_, nullptr, nullptr);
    sdl().render_present(renderer_);
}

DisplayEvent SdlDisplay::key_at_pointer(int code) {
    DisplayEvent e;
    e.kind = DisplayEvent::Key;
    e.code = code;
    sdl().get_mouse_state(&e.px, &e.py);
    return e;
}

void SdlDisplay::translate(const SDL_Event& ev) {
    const bool replayed = std::exchange(replayed_press_, false);
    const bool text_left_out = std::exchange(key_left_out_, false);
    switch (ev.type) {
    case SDL_QUIT: {
        DisplayEvent e;
        e.kind = DisplayEvent::Quit;
        queue_.push_back(e);
        break;
    }
    case SDL_SYSWMEVENT:
        replayed_press_ = ev.syswm.msg && held_keys_.replayed_press(*ev.syswm.msg);
        break;
    case SDL_TEXTINPUT:
        if (text_left_out) break;
        // Printable keys come as UTF-8 text, with case and shift already
        // applied; a character beyond ASCII is a key of its own code.
        for (std::string_view text = ev.text.text; !text.empty();) {
            std::size_t at = 0;
            const std::optional<char32_t> c = miscli::next_utf8(text, at);
            if (!c) at = 1;
            else if (!miscli::is_control(*c)) queue_.push_back(key_at_pointer(static_cast<int>(*c)));
            text.remove_prefix(at);
        }
        break;
    case SDL_KEYDOWN:
        // Auto-repeats of a key held down, and a key held since before the
        // window had the focus, answer nothing (nor does their text).
        key_left_out_ = ev.key.repeat != 0 || replayed;
        if (key_left_out_) break;
        switch (ev.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER: queue_.push_back(key_at_pointer(13)); break;
        case SDLK_BACKSPACE: queue_.push_back(key_at_pointer(8)); break;
        case SDLK_DELETE: queue_.push_back(key_at_pointer(127)); break;
        case SDLK_ESCAPE: queue_.push_back(key_at_pointer(27)); break;
        default: break;  // text keys arrive as SDL_TEXTINPUT, modifiers alone mean nothing
        }
        break;
    case SDL_MOUSEBUTTONDOWN: {
        DisplayEvent e;
        e.kind = DisplayEvent::Click;
        e.px = ev.button.x;
        e.py = ev.button.y;
        queue_.push_back(e);
        break;
    }
    case SDL_WINDOWEVENT:
        if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            DisplayEvent e;
            e.kind = DisplayEvent::Resize;
            e.width = ev.window.data1;
            e.height = ev.window.data2;
            // Only the last of a run of sizes (a drag) matters.
            if (!queue_.empty() && queue_.back().kind == DisplayEvent::Resize) queue_.back() = e;
            else queue_.push_back(e);
        } else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED) {
            present();
        }
        break;
    default: break;
    }
}

DisplayEvent SdlDisplay::next_event(const UnitBox&) {
    present();
    defer_interrupts(true);
    while (queue_.empty()) {
        SDL_Event ev;
        // Wake now and then to see a Ctrl-C noted by the signal handler.
        if (sdl().wait_event_timeout(&ev, 100)) translate(ev);
        if (interrupt_requested()) {
            DisplayEvent e;
            e.kind = DisplayEvent::Quit;
            queue_.push_front(e);
        }
    }
    defer_interrupts(false);
    DisplayEvent e = queue_.front();
    queue_.pop_front();
    return e;
}

// Forwards the console's input and shows the window's latest picture
// first, so a plot finished just before a console question is on screen.
class PresentBeforeRead final : public std::streambuf {
public:
    explicit PresentBeforeRead(std::streambuf* source) : source_(source) {}

protected:
    int_type underflow() override {
        present_window();
        int_type c = source_->sbumpc();
        if (traits_type::eq_int_type(c, traits_type::eof())) return c;
        buffer_[0] = traits_type::to_char_type(c);
        std::streamsize n = 1;
        std::streamsize avail = source_->in_avail();
        if (avail > 0) n += source_->sgetn(buffer_ + 1, std::min<std::streamsize>(avail, sizeof buffer_ - 1));
        setg(buffer_, buffer_, buffer_ + n);
        return c;
    }

private:
    std::streambuf* source_;
    char buffer_[4096];
};

}  // namespace

std::unique_ptr<Display> make_sdl_display() { return std::make_unique<SdlDisplay>(); }

bool sdl_display_available(std::string& reason) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    bool chosen = asked && *asked;
    if (!chosen && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        reason = "neither DISPLAY nor WAYLAND_DISPLAY is set";
        return false;
    }
    if (!load_sdl_library(reason)) return false;
    // Start afresh so the video driver asked for now is the one taken.
    sdl().quit();
    if (!start_sdl_video(reason)) return false;
    // SDL falls back to windows nobody can see; only take those on request.
    const char* current = sdl().get_current_video_driver();
    std::string driver = current ? current : "";
    if (!chosen && (driver == "offscreen" || driver == "dummy")) {
        sdl().quit();
        reason = "no window system answered";
        return false;
    }
    return true;
}

void install_console_present_hook() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    // The console reads std::cin unless a test has pointed it elsewhere.
    static PresentBeforeRead hook(std::cin.rdbuf());
    std::cin.rdbuf(&hook);
}

}  // namespace screen
