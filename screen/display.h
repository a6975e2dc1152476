#pragma once
// The backend under the screen layer: one window (or none) with a canvas,
// and a source of user events. The layer does the mapping, clipping and
// state; a backend only draws pixels and waits for the user.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "screen/canvas.h"

namespace screen {

// The user-unit box of the graphics area, for backends whose events come
// with positions in those units (the session script).
struct UnitBox {
    double left = 0, bottom = 0, right = 1, top = 1;
};

struct DisplayEvent {
    enum Kind { Key, Click, Resize, Quit } kind = Key;
    int code = 0;                 // character code of a key
    bool in_units = false;        // position given in user units (ux, uy)
    double ux = 0, uy = 0;        // user units of the graphics area
    int px = 0, py = 0;           // pixels from the top left (when !in_units)
    int width = 0, height = 0;    // new client size for Resize
};

class Display {
public:
    virtual ~Display() = default;
    // Opens the window; a size below 1 is the backend's default, a
    // position below 0 the window system's choice.
    virtual void open(int x, int y, int width, int height, const std::string& title) = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void resize(int width, int height) = 0;
    virtual void line(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    virtual void polygon(const std::vector<PixelPoint>& points, Rgb colour) = 0;
    virtual void hatch(const std::vector<PixelPoint>& points, Rgb colour, double spacing, double angle) = 0;
    virtual void fill_rect(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    // Text at a baseline point; nothing of it outside `clip` when given.
    virtual int text(int x, int y, std::string_view text, double size, Rgb colour, Rgb background,
                     std::optional<PixelRect> clip) = 0;
    // Shows the canvas (a no-op without a window).
    virtual void present() = 0;
    // Blocks until the user acts.
    virtual DisplayEvent next_event(const UnitBox& units) = 0;
    virtual Canvas& canvas() = 0;
};

// What both backends share: drawing goes straight to the canvas.
class CanvasDisplay : public Display {
public:
    bool is_open() const override { return open_; }
    int width() const override { return canvas_.width(); }
    int height() const override { return canvas_.height(); }
    void resize(int width, int height) override { canvas_.resize(width, height); }
    void line(int x1, int y1, int x2, int y2, Rgb colour) override { canvas_.line(x1, y1, x2, y2, colour); }
    void polygon(const std::vector<PixelPoint>& points, Rgb colour) override { canvas_.polygon(points, colour); }
    void hatch(const std::vector<PixelPoint>& points, Rgb colour, double spacing, double angle) override {
        canvas_.hatch(points, colour, spacing, angle);
    }
    void fill_rect(int x1, int y1, int x2, int y2, Rgb colour) override { canvas_.fill_rect(x1, y1, x2, y2, colour); }
    int text(int x, int y, std::string_view text, double size, Rgb colour, Rgb background,
             std::optional<PixelRect> clip) override {
        return canvas_.text(x, y, text, size, colour, background, clip);
    }
    Canvas& canvas() override { return canvas_; }

protected:
    Canvas canvas_;
    bool open_ = false;
};

// No window: events are read from the session script on the console's
// input, one line each, only while the program waits for one.
class HeadlessDisplay final : public CanvasDisplay {
public:
    HeadlessDisplay(int default_width, int default_height)
        : default_width_(default_width), default_height_(default_height) {}
    void open(int x, int y, int width, int height, const std::string& title) override;
    void close() override;
    void present() override {}
    DisplayEvent next_event(const UnitBox& units) override;

private:
    int default_width_, default_height_;
    // The pointer stays where the script last put it, across windows too.
    bool pointer_set_ = false;
    double pointer_x_ = 0, pointer_y_ = 0;  // user units
    std::vector<DisplayEvent> pending_;      // rest of a `type` line, in reverse
};

// The parsed form of one session-script event line. Gives false with a
// reason when the line is not an event.
struct ScriptEvent {
    enum Kind { Key, Click, Type, Resize } kind = Key;
    int code = 0;
    bool has_position = false;
    double x = 0, y = 0;
    std::string text;        // for Type
    int width = 0, height = 0;
};
bool parse_event_line(std::string_view line, ScriptEvent& event, std::string& reason);

// A real SDL2 window showing the canvas.
std::unique_ptr<Display> make_sdl_display();
// Probes whether a display can be opened; gives the reason when not.
bool sdl_display_available(std::string& reason);
// Shows the latest picture before the program blocks on the console.
void install_console_present_hook();

}  // namespace screen
