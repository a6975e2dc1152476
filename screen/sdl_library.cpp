#include "screen/sdl_library.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <type_traits>

#include "miscli/stop.h"

namespace screen {

static_assert(std::is_same_v<decltype(&::XSetIOErrorHandler), decltype(SdlLibrary::set_x_io_error_handler)>);

namespace {

struct Loaded {
    SdlLibrary library{};
    std::string failure;  // empty when loaded
};

// The file the program was built against (its path is set by the build),
// else whatever file of the same interface the system has.
void* open_library(const char* built_against, const char* soname, std::string& failure) {
    void* h = dlopen(built_against, RTLD_NOW | RTLD_LOCAL);
    if (!h) h = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* why = dlerror();  // names the file and the cause
        failure = why ? why : std::string(soname) + ": cannot be loaded";
    }
    return h;
}

template <class F>
void bind(void* handle, const char* name, F& f, std::string& failure) {
    f = reinterpret_cast<F>(dlsym(handle, name));
    if (f || !failure.empty()) return;
    const char* why = dlerror();
    failure = why ? why : std::string("undefined symbol: ") + name;
}

Loaded load() {
    Loaded l;
    SdlLibrary& s = l.library;
    // The handles stay open for the run.
    void* h = open_library(GLIDERSECT_SDL2_LIBRARY, "libSDL2-2.0.so.0", l.failure);
    if (!h) return l;
    bind(h, "SDL_Init", s.init, l.failure);
    bind(h, "SDL_Quit", s.quit, l.failure);
    bind(h, "SDL_SetHint", s.set_hint, l.failure);
    bind(h, "SDL_GetError", s.get_error, l.failure);
    bind(h, "SDL_GetCurrentVideoDriver", s.get_current_video_driver, l.failure);
    bind(h, "SDL_GetDesktopDisplayMode", s.get_desktop_display_mode, l.failure);
    bind(h, "SDL_CreateWindow", s.create_window, l.failure);
    bind(h, "SDL_DestroyWindow", s.destroy_window, l.failure);
    bind(h, "SDL_GetWindowSize", s.get_window_size, l.failure);
    bind(h, "SDL_CreateRenderer", s.create_renderer, l.failure);
    bind(h, "SDL_DestroyRenderer", s.destroy_renderer, l.failure);
    bind(h, "SDL_CreateTexture", s.create_texture, l.failure);
    bind(h, "SDL_DestroyTexture", s.destroy_texture, l.failure);
    bind(h, "SDL_UpdateTexture", s.update_texture, l.failure);
    bind(h, "SDL_RenderClear", s.render_clear, l.failure);
    bind(h, "SDL_RenderCopy", s.render_copy, l.failure);
    bind(h, "SDL_RenderPresent", s.render_present, l.failure);
    bind(h, "SDL_StartTextInput", s.start_text_input, l.failure);
    bind(h, "SDL_EventState", s.event_state, l.failure);
    bind(h, "SDL_GetMouseState", s.get_mouse_state, l.failure);
    bind(h, "SDL_WaitEventTimeout", s.wait_event_timeout, l.failure);
    // SDL's X driver loads Xlib by its interface name too, so this is the
    // very copy whose connection SDL opens.
    if (void* x = open_library(GLIDERSECT_X11_LIBRARY, "libX11.so.6", l.failure))
        bind(x, "XSetIOErrorHandler", s.set_x_io_error_handler, l.failure);
    return l;
}

const Loaded& loaded() {
    static const Loaded once = load();
    return once;
}

}  // namespace

bool load_sdl_library(std::string& reason) {
    if (loaded().failure.empty()) return true;
    reason = loaded().failure;
    return false;
}

const SdlLibrary& sdl() {
    std::string reason;
    if (!load_sdl_library(reason)) miscli::stop(" Cannot open the graphics window (" + reason + ").");
    return loaded().library;
}

}  // namespace screen
