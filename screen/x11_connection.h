#pragma once
// What the real window needs of the X window system beyond what SDL gives:
// a clean end when the X server goes away, and the keys that were already
// held down when the window took the keyboard focus.
#include <bitset>

struct SDL_SysWMmsg;

namespace screen {

// From now on a lost connection to the X server ends the run at once with
// one console line and status 1 (an unfinished hardcopy is dropped first).
// Xlib's own answer is to exit from inside the failing call, and the exit's
// clean-up then waits for the dead server for ever.
void watch_x_connection();
// True once the connection is gone: nothing may call SDL's window code then.
bool x_connection_lost();

// The X server goes on auto-repeating a key held down while the focus
// comes to the window, and SDL takes the first of those repeats for a fresh
// press. Fed every window-system event, this tells such a press apart.
class FocusHeldKeys {
public:
    // True for the press of a key held since before the focus came; the
    // key counts as held until it is let go.
    bool replayed_press(const SDL_SysWMmsg& message);
    void forget() { held_.reset(); }

private:
    std::bitset<256> held_;  // by X key code
};

}  // namespace screen
