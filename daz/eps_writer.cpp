// The EPS hardcopy: the plotter's sheet as PostScript lines, exactly. A
// prologue defines M (move) and D (draw) in thousandths of an inch; then
// one line per stroke, colour and width, a few per fill; a trailer shows
// the page.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "daz/device.h"
#include "daz/hardcopy_format.h"
#include "daz/hardcopy_target.h"
#include "miscli/fixed_format.h"

namespace daz {

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

// What a fill is framed with: the sheet it is held on, and its end.
constexpr std::string_view kFillOpen = " {\n0 0 8000 10000 setbbox\n";
constexpr std::string_view kFillClose = " closepath\n } ufill\n";
constexpr std::string_view kSetColour = " setrgbcolor\n";

int digit_count(unsigned long v) {
    int n = 1;
    for (unsigned long limit = 10; v >= limit && n < 19; limit *= 10) ++n;
    return n;
}

// A file coordinate in its run-time field: width 1 + floor(log10(|v| + 1))
// plus `blanks` (the separating blank), plus one for a sign; gives the end.
char* put_file_number(char* out, long value, int blanks) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    const unsigned long v = value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    const int n = digit_count(v);
    // 1 + floor(log10(|v| + 1)) columns, the digit count of |v| + 1; a sign
    // takes one more.
    const int pad = blanks + digit_count(v + 1) - n;
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

// A colour channel's field, in hundredths.
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

char* put(char* out, std::string_view text) { return std::copy_n(text.data(), text.size(), out); }

char* put_colour_line(char* out, float red, float green, float blue) {
    for (float c : {red, green, blue}) out = put(out, fraction(c));
    return put(out, kSetColour);
}

// A coordinate's text as it starts or goes on a corner line.
struct NumberText {
    std::array<char, 24> text;
    std::size_t size = 0;
    NumberText() = default;
    NumberText(long v, int blanks) : size(static_cast<std::size_t>(put_file_number(text.data(), v, blanks) - text.data())) {}
    std::string_view view() const { return {text.data(), size}; }
};

class EpsWriter final : public Device {
public:
    explicit EpsWriter(HardcopyTarget& target) : target_(target) {
        for (const char* l : kPrologue) line(l);
        for (int n : {0, 99}) {
            const std::string& v = fraction(n == 0 ? 0.0f : 1.0f);
            line("/RGB" + miscli::fmt_i0(n, 2, 2) + " {" + v + v + v + " setrgbcolor} def");
        }
    }

    void stroke(PagePoint to, int pen) override {
        const FilePoint f = file_point(to);
        char* start = room(48);
        char* end = put_file_number(start, f.x, 0);
        end = put_file_number(end, f.y, 1);
        *end++ = ' ';
        *end++ = pen == 3 ? 'M' : 'D';
        *end++ = '\n';
        used_ += static_cast<std::size_t>(end - start);
    }

    void colour(float red, float green, float blue) override {
        char* start = room(64);
        used_ += static_cast<std::size_t>(put_colour_line(start, red, green, blue) - start);
    }

    void line_width(long width) override { line(miscli::fmt_i(width, 10) + " setlinewidth"); }

    void fill(std::span<const PagePoint> vertices) override {
        text(kFillOpen);
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            const FilePoint q = sheet_point(vertices[i]);
            char* start = room(48);
            char* end = put_file_number(start, q.x, 0);
            end = put_file_number(end, q.y, 1);
            end = put(end, i == 0 ? " moveto\n" : " lineto\n");
            used_ += static_cast<std::size_t>(end - start);
        }
        text(kFillClose);
    }

    void fill_cells(const CellColumn& column) override;

    bool finish(std::string&) override {
        line("0 0 moveto stroke showpage");
        line("%%EOF");
        flush();
        return true;
    }

private:
    // Lines are gathered here and handed to the file in large pieces: a
    // section has hundreds of thousands of them, and a call per line costs
    // as much as making the line.
    static constexpr std::size_t kRoom = std::size_t{1} << 19;

    void flush() {
        if (used_ > 0) target_.write(pending_.get(), used_);
        used_ = 0;
    }
    // Room for n more characters (n far below kRoom), flushing first when
    // needed; the caller adds what it wrote to used_.
    char* room(std::size_t n) {
        if (used_ + n > kRoom) flush();
        return pending_.get() + used_;
    }
    void text(std::string_view t) {
        if (t.size() > kRoom / 2) {
            flush();
            target_.write(t.data(), t.size());
            return;
        }
        char* out = room(t.size());
        std::memcpy(out, t.data(), t.size());
        used_ += t.size();
    }
    void line(std::string_view l) {
        text(l);
        text("\n");
    }

    HardcopyTarget& target_;
    std::unique_ptr<char[]> pending_{new char[kRoom]};  // not cleared: only what is written is read
    std::size_t used_ = 0;

    // The cells' corners, as a fill writes them: a corner's sheet
    // coordinates come one from its column's x and one from its cell's y,
    // so their text is made once per column and once per level, not four
    // times per cell. A section has a cell for every level of every dive.
    struct Level {
        float y_lo = 0, y_hi = 0;
        bool made = false;
        NumberText lo, hi;  // sheet x of y_lo and y_hi, as the corner lines start
    };
    std::vector<Level> levels_;
};

void EpsWriter::fill_cells(const CellColumn& column) {
    // A page point (x, y) stands at the sheet's (from y, from x).
    const NumberText x_lo(sheet_point({column.x_lo, 0.0f}).y, 1), x_hi(sheet_point({column.filled_x_hi(), 0.0f}).y, 1);
    if (levels_.size() < column.cells.size()) levels_.resize(column.cells.size());
    for (std::size_t k = 0; k < column.cells.size(); ++k) {
        const CellColumn::Cell& c = column.cells[k];
        Level& level = levels_[k];
        const float y_lo = column.filled_y_lo(c);
        if (!level.made || level.y_lo != y_lo || level.y_hi != c.y_hi) {
            level = {y_lo, c.y_hi, true, NumberText(sheet_point({0.0f, y_lo}).x, 0),
                     NumberText(sheet_point({0.0f, c.y_hi}).x, 0)};
        }
        char* start = room(256);
        char* out = put_colour_line(start, c.red, c.green, c.blue);
        out = put(out, kFillOpen);
        // The corners (x_lo, y_lo), (x_lo, y_hi), (x_hi, y_hi), (x_hi, y_lo).
        const auto corner = [&out](const NumberText& from_y, const NumberText& from_x, std::string_view verb) {
            out = put(out, from_y.view());
            out = put(out, from_x.view());
            out = put(out, verb);
        };
        corner(level.lo, x_lo, " moveto\n");
        corner(level.hi, x_lo, " lineto\n");
        corner(level.hi, x_hi, " lineto\n");
        corner(level.lo, x_hi, " lineto\n");
        out = put(out, kFillClose);
        used_ += static_cast<std::size_t>(out - start);
    }
}

}  // namespace

std::unique_ptr<Device> open_eps_writer(const HardcopyOutput&, HardcopyTarget& target) {
    return std::make_unique<EpsWriter>(target);
}

}  // namespace daz
