#include "screen/x11_connection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <string>

#include "miscli/stop.h"
#include "screen/interrupts.h"
#include "screen/sdl_library.h"

namespace screen {

namespace {

bool connection_lost = false;

extern "C" int on_connection_lost(::Display* display) {
    connection_lost = true;
    defer_interrupts(true);  // this line is the run's last
    const char* name = display ? DisplayString(display) : nullptr;
    miscli::end_run_now(std::string(" Lost the connection to the display") + (name && *name ? " " : "") +
                            (name ? name : "") + "; the run ends.",
                        1);
}

}  // namespace

void watch_x_connection() { sdl().set_x_io_error_handler(on_connection_lost); }

bool x_connection_lost() { return connection_lost; }

bool FocusHeldKeys::replayed_press(const SDL_SysWMmsg& message) {
    if (message.subsystem != SDL_SYSWM_X11) return false;
    const XEvent& event = message.msg.x11.event;
    switch (event.type) {
    case KeymapNotify:
        // Follows every focus change with the keys down at that moment
        // (key codes 8 to 255; the first byte carries none).
        for (unsigned code = 8; code < held_.size(); ++code)
            held_[code] = (static_cast<unsigned char>(event.xkeymap.key_vector[code / 8]) >> (code % 8) & 1u) != 0;
        return false;
    case KeyRelease:
        held_.reset(event.xkey.keycode % held_.size());
        return false;
    case KeyPress:
        return held_.test(event.xkey.keycode % held_.size());
    default:
        return false;
    }
}

}  // namespace screen
