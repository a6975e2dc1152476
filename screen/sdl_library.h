#pragma once
// SDL2 and Xlib, loaded when a real window is first wanted: a headless run
// maps neither of them nor the forty-odd libraries SDL pulls in (sound,
// Wayland, D-Bus, codecs), so it starts several times faster.
#include <SDL.h>

#include <string>

// Xlib's display; its header stays out of here with its many macros.
struct _XDisplay;

namespace screen {

using XIoErrorHandler = int (*)(_XDisplay*);

struct SdlLibrary {
    decltype(&::SDL_Init) init;
    decltype(&::SDL_Quit) quit;
    decltype(&::SDL_SetHint) set_hint;
    decltype(&::SDL_GetError) get_error;
    decltype(&::SDL_GetCurrentVideoDriver) get_current_video_driver;
    decltype(&::SDL_GetDesktopDisplayMode) get_desktop_display_mode;
    decltype(&::SDL_CreateWindow) create_window;
    decltype(&::SDL_DestroyWindow) destroy_window;
    decltype(&::SDL_GetWindowSize) get_window_size;
    decltype(&::SDL_CreateRenderer) create_renderer;
    decltype(&::SDL_DestroyRenderer) destroy_renderer;
    decltype(&::SDL_CreateTexture) create_texture;
    decltype(&::SDL_DestroyTexture) destroy_texture;
    decltype(&::SDL_UpdateTexture) update_texture;
    decltype(&::SDL_RenderClear) render_clear;
    decltype(&::SDL_RenderCopy) render_copy;
    decltype(&::SDL_RenderPresent) render_present;
    decltype(&::SDL_StartTextInput) start_text_input;
    decltype(&::SDL_EventState) event_state;
    decltype(&::SDL_GetMouseState) get_mouse_state;
    decltype(&::SDL_WaitEventTimeout) wait_event_timeout;
    // Xlib's XSetIOErrorHandler.
    XIoErrorHandler (*set_x_io_error_handler)(XIoErrorHandler);
};

// Loads both libraries, once for the run; false with the reason when they
// cannot be loaded.
bool load_sdl_library(std::string& reason);
// Their entry points. Asked before they could be loaded, the run ends with
// one line.
const SdlLibrary& sdl();

}  // namespace screen
