#include "daz/plot_device.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include "daz/cairo_page.h"
#include "daz/hardcopy_target.h"
#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"
#include "screen/interrupts.h"
#include "screen/screen.h"

namespace daz {

Devcom devcom;

namespace {

constexpr const char* kPrologue[] = {
    "%!PS-Adobe-3.0 EPSF-3.0",
    "%%BoundingBox: 20 20 596 740",
    "/M %move with penup",
    "    {stroke newpath moveto} def",
    "/D %draw with pendown",
    "    {2 copy lineto stroke newpath moveto} def",
    "/NEW %newpage - initialize parameters",
    "    {0.072 0.072 scale  %units 0.001 inch",
    "     10 setlinewidth     %0.01 inches",
    "     2 setlinejoin      %bevel line joins",
    "     newpath moveto} def",
    "0 0 NEW",
};

// File coordinates far off the page are held to what the fields and
// PostScript's numbers take comfortably.
constexpr float kMaxFileUnits = 99999999.0f;

struct Hardcopy {
    HardcopyOutput output;            // what the next hardcopy is
    HardcopyTarget target;            // the open file
    std::unique_ptr<CairoPage> page;  // a PDF, SVG or PNG page; EPS lines without
    // Lines not yet handed to the stream.
    static constexpr std::size_t kRoom = 1u << 19;
    std::unique_ptr<char[]> pending{new char[kRoom]};  // not cleared: only what is written is read
    std::size_t used = 0;
    // Room for n more characters, flushing first when needed.
    char* room(std::size_t n);
};

// The one hardcopy file; a plain object, so the stroke path pays no
// guard for a function-local static.
Hardcopy the_hardcopy;
inline Hardcopy& hardcopy() { return the_hardcopy; }

// Stroke state between calls; nothing else reads it.
struct StrokeState {
    PagePoint last;
    FilePoint file;
    int wx = 0, wy = 0;
};
StrokeState stroke;
int packed_colour = 0;

void flush_pending() {
    Hardcopy& h = hardcopy();
    if (h.used > 0) h.target.write(h.pending.get(), h.used);
    h.used = 0;
}

char* Hardcopy::room(std::size_t n) {
    if (used + n > kRoom) flush_pending();
    if (n > kRoom) return nullptr;
    return pending.get() + used;
}

// Lines are gathered here and handed to the stream in large pieces: a
// section has hundreds of thousands of them, and a stream call per line
// costs as much as making the line.
// `text` then, with `line_end`, a '\n'.
void raw_text(std::string_view text, bool line_end) {
    Hardcopy& h = hardcopy();
    if (!h.target.is_open() || h.page) return;
    const std::size_t n = text.size() + (line_end ? 1 : 0);
    char* out = h.room(n);
    if (!out) {  // longer than the whole buffer: straight to the stream
        flush_pending();
        h.target.write(text.data(), text.size());
        if (line_end) h.target.write("\n", 1);
        return;
    }
    std::memcpy(out, text.data(), text.size());
    if (line_end) out[text.size()] = '\n';
    h.used += n;
}

void raw_line(std::string_view line) { raw_text(line, true); }

void put_line(std::string_view line) { raw_line(line); }

// A colour channel as the file writes it, in hundredths. PostScript takes
// colours in 0..1 anyway; holding them there keeps the field from
// overflowing into asterisks. A float times 100 is exact in double, so
// rounding it here picks the same field as formatting the value itself
// (halves away from zero, as fmt_f).
std::size_t hundredths(float v) {
    if (!(v >= 0)) v = 0;
    if (v > 1) v = 1;
    return static_cast<std::size_t>(std::round(static_cast<double>(v) * 100.0));
}

const std::string& fraction(float v) {
    // Every colour line has three of these, and a section has hundreds of
    // thousands of cells: the 101 fields are made once.
    static const auto fields = [] {
        std::array<std::string, 101> f;
        for (int c = 0; c <= 100; ++c) f[static_cast<std::size_t>(c)] = miscli::fmt_f(c / 100.0, 5, 2);
        return f;
    }();
    return fields[hundredths(v)];
}

int channel(float v) {
    double c = std::round(255.0 * static_cast<double>(v));
    if (!(c >= 0)) return 0;
    return c > 255 ? 255 : static_cast<int>(c);
}

// Writes the trailer (or ends the page) and gives the file its name; false
// with the console line when it could not be written, and then nothing is
// left under that name. A signal that came while the name was taken ends
// the run now.
bool finish_hardcopy(std::string& error) {
    Hardcopy& h = hardcopy();
    if (!h.target.is_open()) return true;
    bool ok = true;
    if (h.page) {
        std::string reason;
        ok = h.page->finish(reason);
        h.page.reset();
        if (!ok) {
            error = " Cannot write " + h.target.name() + ": " + reason;
            h.target.abandon();
        }
    } else {
        raw_line("0 0 moveto stroke showpage");
        raw_line("%%EOF");
        flush_pending();
    }
    const std::string planned = h.target.name();
    ok = ok && h.target.commit(error);
    if (ok && h.target.name() != planned)
        miscli::console().write_line(" " + planned + " was taken meanwhile; the hardcopy is " + h.target.name());
    if (ok && screen::interrupt_requested()) screen::stop_for_interrupt("the run ends.");
    return ok;
}

// Drops an open hardcopy: the picture is not complete, so nothing takes
// its name.
void drop_hardcopy() {
    Hardcopy& h = hardcopy();
    h.target.abandon();  // first, so a page ends without writing
    h.page.reset();
    h.used = 0;
}

void open_hardcopy() {
    Hardcopy& h = hardcopy();
    std::string error;
    if (!h.target.open(h.output.name, extension_of(h.output.format), error)) miscli::stop(error);
    h.used = 0;
    miscli::console().write_line((miscli::ListLine() << "Open " << h.target.name()).str());
    if (h.output.format != HardcopyFormat::Eps)
        h.page = std::make_unique<CairoPage>(h.output.format, h.output.dpi, h.target);
}

}  // namespace

PagePoint device_page(float x, float y) {
    if (devcom.orientation == 'X') return {x, y};
    return {y, 8.0f - x};
}

// Nearest integer, halves away from zero, held to the file's range (NaN
// goes to its lower end). In double the half is added exactly.
std::int32_t nearest_file_unit(float v) {
    double d = v;
    if (!(d > -kMaxFileUnits)) d = -kMaxFileUnits;
    if (d > kMaxFileUnits) d = kMaxFileUnits;
    return static_cast<std::int32_t>(d >= 0 ? static_cast<long>(d + 0.5) : -static_cast<long>(0.5 - d));
}

int digit_count(unsigned long v) {
    int n = 1;
    for (unsigned long limit = 10; v >= limit && n < 19; limit *= 10) ++n;
    return n;
}

char* put_file_number(char* out, long value, int blanks, int& width) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    const unsigned long v = value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    const int n = digit_count(v);
    // 1 + floor(log10(|v| + 1)) columns, the digit count of |v| + 1; a sign
    // takes one more.
    const int pad = blanks + digit_count(v + 1) - n;
    width = pad + n + (value < 0 ? 1 : 0);
    for (int i = 0; i < pad; ++i) *out++ = ' ';
    if (value < 0) *out++ = '-';
    char* end = out + n;
    unsigned long rest = v;
    while (rest >= 100) {
        const unsigned long pair = rest % 100;
        rest /= 100;
        *--end = kPairs[2 * pair + 1];
        *--end = kPairs[2 * pair];
    }
    if (rest >= 10) {
        *--end = kPairs[2 * rest + 1];
        *--end = kPairs[2 * rest];
    } else {
        *--end = static_cast<char>('0' + rest);
    }
    return out + n;
}

FilePoint file_point(PagePoint p) {
    float fx = (8.0f - p.y) * 1000.0f, fy = p.x * 1000.0f;
    return {nearest_file_unit(fx), nearest_file_unit(fy)};
}

void plopen_(char device, char orientation) {
    if (std::string error; !finish_hardcopy(error)) miscli::stop(error);
    screen::windowclose_();
    devcom.device_code = device == 'S' ? 'S' : 'H';
    devcom.orientation = orientation;
    if (devcom.device_code == 'S') {
        screen::winitialise_("");
        screen::windowopen_(screen::WindowRecord{}, 0);
        screen::windowselect_(0);
        screen::igrarea_(0.0f, 0.0f, 1.0f, 1.0f);
        screen::igrunits_(0.0f, 0.0f, 10.0f, 8.0f);
        screen::igrfillpattern_(4, 0, 0);
        screen::igrcolourmodel_(24);
        return;
    }
    open_hardcopy();
    if (hardcopy().page) return;
    for (const char* line : kPrologue) put_line(line);
    for (int n : {0, 99}) {
        const std::string& v = fraction(n == 0 ? 0.0f : 1.0f);
        put_line("/RGB" + miscli::fmt_i0(n, 2, 2) + " {" + v + v + v + " setrgbcolor} def");
    }
}

void plclosnow_() {
    if (devcom.device_code == 'H') {
        if (std::string error; !finish_hardcopy(error)) miscli::stop(error);
        return;
    }
    screen::windowclose_();
}

void ploti_(float x, float y, int ipen) {
    PagePoint p = device_page(x, y);
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    stroke.last = p;
    if (devcom.device_code == 'S') {
        if (ipen == 3) screen::igrmoveto_(p.x, p.y);
        else if (ipen == 2) screen::igrlineto_(p.x, p.y);
        return;
    }
    Hardcopy& h = hardcopy();
    if (!h.target.is_open()) return;
    FilePoint f = file_point(p);
    stroke.file = f;
    if (h.page) {
        h.page->stroke(f, ipen != 3);
        return;
    }
    // Written straight into one buffer: a section has hundreds of
    // thousands of strokes.
    char* start = h.room(48);
    char* end = put_file_number(start, f.x, 0, stroke.wx);
    end = put_file_number(end, f.y, 1, stroke.wy);
    *end++ = ' ';
    *end++ = ipen == 3 ? 'M' : 'D';
    *end++ = '\n';
    h.used += static_cast<std::size_t>(end - start);
}

void linwid_(int width) {
    if (devcom.device_code != 'H') return;
    long w = std::labs(static_cast<long>(width));
    if (w > 999999999L) w = 999999999L;
    if (hardcopy().page) {
        hardcopy().page->line_width(w);
        return;
    }
    put_line(miscli::fmt_i(w, 10) + " setlinewidth");
}

void clearsc_() { screen::windowclear_(); }

void rgbcolor_(float red, float green, float blue) {
    if (devcom.device_code == 'H') {
        if (hardcopy().page) {
            hardcopy().page->colour(hundredths(red) / 100.0, hundredths(green) / 100.0, hundredths(blue) / 100.0);
            return;
        }
        // Made in place: a section sets a colour for every cell.
        char line[64];
        char* end = put_colour_line(line, red, green, blue);
        put_line(std::string_view(line, static_cast<std::size_t>(end - line - 1)));
        return;
    }
    packed_colour = channel(red) + 256 * channel(green) + 65536 * channel(blue);
    screen::igrcolourn_(packed_colour);
}

bool hardcopy_open() { return hardcopy().target.is_open(); }
bool eps_open() { return hardcopy().target.is_open() && !hardcopy().page; }

char* put_colour_line(char* out, float red, float green, float blue) {
    constexpr std::string_view kSet = " setrgbcolor\n";
    for (float c : {red, green, blue}) out = std::copy_n(fraction(c).data(), fraction(c).size(), out);
    return std::copy_n(kSet.data(), kSet.size(), out);
}
bool drawing_unseen() { return devcom.device_code == 'S' && screen::canvas_unseen(); }
void hardcopy_line(std::string_view line) { put_line(line); }
void hardcopy_lines(std::string_view lines) { raw_text(lines, false); }
const std::string& hardcopy_name() { return hardcopy().target.name(); }
bool hardcopy_is_page() { return hardcopy().page != nullptr; }
void page_fill(std::span<const FilePoint> vertices) {
    if (!hardcopy().page) return;
    hardcopy().page->fill(vertices);
}
void set_hardcopy_output(HardcopyOutput output) { hardcopy().output = std::move(output); }
int screen_colour() { return packed_colour; }

void close_open_plot() {
    try {
        drop_hardcopy();
        if (screen::window_is_open()) screen::windowclose_();
    } catch (...) {
        // Called while the program is already ending: nothing more to do.
    }
}

}  // namespace daz
