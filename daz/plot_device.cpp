#include "daz/plot_device.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "daz/hardcopy_target.h"
#include "daz/screen_device.h"
#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"
#include "screen/interrupts.h"

namespace daz {

Devcom devcom;

namespace {

// What the doors draw on once a hardcopy is closed or could not be opened,
// until the next plopen_: nothing.
class NoDevice final : public Device {
public:
    void stroke(PagePoint, int) override {}
    void colour(float, float, float) override {}
    void line_width(long) override {}
    void fill(std::span<const PagePoint>) override {}
    void fill_cells(const CellColumn&) override {}
    bool draws_nothing() const override { return true; }
};

struct Plot {
    ScreenDevice screen;
    NoDevice none;
    HardcopyOutput output;            // what the next hardcopy is
    HardcopyTarget target;            // the open hardcopy's file
    std::unique_ptr<Device> writer;   // what draws into it, while it is open
    Device* current = &screen;        // where the doors draw
};

// The one plot device; a plain object, so the stroke path pays no guard
// for a function-local static.
Plot the_plot;
inline Plot& plot() { return the_plot; }

// Has the writer end the picture and gives the file its name; false with
// the console line when it could not be written, and then nothing is left
// under that name. A signal that came while the name was taken ends the
// run now.
bool finish_hardcopy(std::string& error) {
    Plot& P = plot();
    if (!P.writer) return true;
    std::string reason;
    bool ok = P.writer->finish(reason);
    P.writer.reset();
    P.current = &P.none;
    if (!ok) {
        error = " Cannot write " + P.target.name() + ": " + reason;
        P.target.abandon();
    }
    const std::string planned = P.target.name();
    ok = ok && P.target.commit(error);
    if (ok && P.target.name() != planned)
        miscli::console().write_line(" " + planned + " was taken meanwhile; the hardcopy is " + P.target.name());
    if (ok && screen::interrupt_requested()) screen::stop_for_interrupt("the run ends.");
    return ok;
}

// Drops an open hardcopy: the picture is not complete, so nothing takes
// its name.
void drop_hardcopy() {
    Plot& P = plot();
    P.target.abandon();  // first, so a page ends without writing
    if (P.current == P.writer.get()) P.current = &P.none;
    P.writer.reset();
}

void open_hardcopy() {
    Plot& P = plot();
    std::string error;
    if (!P.target.open(P.output.name, extension_of(P.output.format), error)) miscli::stop(error);
    miscli::console().write_line((miscli::ListLine() << "Open " << P.target.name()).str());
    P.writer = open_writer(P.output, P.target);
    P.current = P.writer.get();
}

}  // namespace

PagePoint device_page(float x, float y) {
    if (devcom.orientation == 'X') return {x, y};
    return {y, 8.0f - x};
}

void plopen_(char device, char orientation) {
    Plot& P = plot();
    if (std::string error; !finish_hardcopy(error)) miscli::stop(error);
    P.screen.close_window();
    devcom.device_code = device == 'S' ? 'S' : 'H';
    devcom.orientation = orientation;
    if (devcom.device_code == 'S') {
        P.current = &P.screen;
        P.screen.open_window();
        return;
    }
    P.current = &P.none;
    open_hardcopy();
}

void plclosnow_() {
    if (devcom.device_code == 'H') {
        if (std::string error; !finish_hardcopy(error)) miscli::stop(error);
        return;
    }
    plot().screen.close_window();
}

void ploti_(float x, float y, int ipen) {
    const PagePoint p = device_page(x, y);
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    plot().current->stroke(p, ipen);
}

void linwid_(int width) {
    long w = std::labs(static_cast<long>(width));
    if (w > 999999999L) w = 999999999L;
    plot().current->line_width(w);
}

void clearsc_() { plot().screen.clear_window(); }

void rgbcolor_(float red, float green, float blue) { plot().current->colour(red, green, blue); }

Device& current_device() { return *plot().current; }
bool draws_nothing() { return plot().current->draws_nothing(); }
bool hardcopy_open() { return plot().target.is_open(); }
const std::string& hardcopy_name() { return plot().target.name(); }
void set_hardcopy_output(HardcopyOutput output) { plot().output = std::move(output); }
int screen_colour() { return plot().screen.packed_colour(); }

void close_open_plot() {
    try {
        drop_hardcopy();
        if (plot().screen.window_open()) plot().screen.close_window();
    } catch (...) {
        // Called while the program is already ending: nothing more to do.
    }
}

}  // namespace daz
