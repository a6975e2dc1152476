#!/usr/bin/env python3
"""Writes daz/font_tables.h and daz/font_tables.cpp: the packed stroke
tables of the text glyphs and marker symbols.

The glyphs come from the Hershey fonts in the .jhf form (Debian package
hershey-fonts-data). Run from anywhere:

    python3 tools/make_font_tables.py [HERSHEY_DIR [OUTPUT_DIR]]

HERSHEY_DIR defaults to /usr/share/hershey-fonts, OUTPUT_DIR to the daz/
folder next to this tools/ folder. Only the standard library is used.
"""

import math
import os
import sys

GLYPHS = 432
SYMBOLS = 22

# Acknowledgement that the Hershey data's licence asks to travel with it.
ACKNOWLEDGEMENT = """\
- The Hershey Fonts were originally created by Dr.
  A. V. Hershey while working at the U. S.
  National Bureau of Standards.
- The format of the Font data in this distribution
  was originally created by
      James Hurt
      Cognition, Inc.
      900 Technology Park Drive
      Billerica, MA 01821
      (mit-eddie!ci-dandelion!hurt)"""

LATIN_SIGNS = "+-/=()*,.$"

# The 48 signs shared by all fonts (glyphs 385..432): (file, character or
# position in the file, what it is). The characters that chrcod_ maps get
# their own glyph; the other numbers hold further signs, reached by number.
SHARED = [
    ("rowmans", "<", "less than"),
    ("rowmans", ">", "greater than"),
    ("mathlow", 33, "plus-minus"),
    ("mathlow", 34, "minus-plus"),
    ("mathlow", 35, "multiplication cross"),
    ("mathlow", 36, "centred dot"),
    ("mathlow", 38, "less than or equal"),
    ("mathlow", 39, "greater than or equal"),
    ("mathlow", 63, "not equal"),
    ("mathlow", 64, "identical to"),
    ("mathlow", 94, "proportional to"),
    ("mathlow", 95, "infinity"),
    ("mathlow", 96, "degree"),
    ("mathlow", 98, "square root"),
    ("mathlow", 109, "partial derivative"),
    ("mathlow", 110, "nabla"),
    ("mathlow", 112, "integral"),
    ("mathlow", 105, "arrow right"),
    ("mathlow", 106, "arrow up"),
    ("mathlow", 107, "arrow left"),
    ("rowmans", "{", "left brace"),
    ("rowmans", "}", "right brace"),
    ("rowmans", "@", "at sign"),
    ("rowmans", "^", "circumflex"),
    ("rowmans", "[", "left bracket"),
    ("rowmans", "]", "right bracket"),
    ("rowmans", "#", "number sign"),
    ("mathlow", 108, "arrow down"),
    ("mathlow", 120, "division sign"),
    ("rowmans", ":", "colon"),
    ("rowmans", ";", "semicolon"),
    ("rowmans", "!", "exclamation mark"),
    ("rowmans", "?", "question mark"),
    ("rowmans", "%", "percent"),
    ("rowmans", "&", "ampersand"),
    ("timesi", ":", "italic colon"),
    ("timesi", ";", "italic semicolon"),
    ("timesi", "!", "italic exclamation mark"),
    ("timesi", "?", "italic question mark"),
    ("rowmans", "~", "tilde"),
    ("rowmans", "\\", "backslash"),
    ("rowmans", "_", "underscore"),
    ("rowmans", "|", "vertical bar"),
    ("rowmans", '"', "double quote"),
    ("rowmans", "`", "grave accent"),
    ("mathlow", 59, "summation sign"),
    ("mathlow", 58, "product sign"),
    ("rowmans", "'", "apostrophe"),
]

# Fonts of 120 (or 72 Latin-only) glyphs: (name, Latin file, Greek file, offset).
FONTS = [
    ("Roman simplex", "rowmans", "greeks", 0),
    ("Roman complex", "timesr", "greekc", 120),
    ("Roman italic complex", "timesi", None, 240),
    ("Roman duplex", "rowmand", None, 312),
]


def circle(r, n, phase=0.0):
    pts = []
    for k in range(n + 1):
        a = 2.0 * math.pi * k / n + phase
        pts.append((round_half_away(r * math.cos(a)), round_half_away(r * math.sin(a))))
    return pts


def round_half_away(v):
    return int(math.floor(abs(v) + 0.5)) * (1 if v >= 0 else -1)


def hatch(half_widths):
    """Horizontal strokes (y, half width) as separate lines."""
    lines = []
    for y, h in half_widths:
        lines.append([(-h, y), (h, y)])
    return lines


# Marker symbols by number n (0..21), as polylines on a grid centred on the
# symbol; each polyline starts with a pen-up move.
SYMBOL_SHAPES = {
    0: [[(-10, -10), (10, -10), (10, 10), (-10, 10), (-10, -10)]],
    1: [[(0, 10), (9, -5), (-9, -5), (0, 10)]],
    2: [circle(10, 8, math.pi / 8)],
    3: [[(10, 0), (0, 10), (-10, 0), (0, -10), (10, 0)]],
    4: [[(-10, 0), (10, 0)], [(0, -10), (0, 10)]],
    5: [[(-10, 0), (10, 0)], [(0, -10), (0, 10)], [(-7, -7), (7, 7)], [(-7, 7), (7, -7)]],
    6: [[(-7, -7), (7, 7)], [(-7, 7), (7, -7)]],
    7: [[(-5, -5), (5, -5), (5, 5), (-5, 5), (-5, -5), (-10, -10)],
        [(5, -5), (10, -10)], [(-5, 5), (-10, 10)], [(0, 0), (10, 10)]],
    8: [[(0, -10), (0, 10), (-5, 2), (5, 2), (0, 10)]],
    9: [[(-10, 10), (10, 10), (-10, -10), (10, -10), (-10, 10)]],
    10: [[(-10, -10), (10, 10), (-10, 10), (10, -10)]],
    11: [circle(10, 6)],
    12: [[(0, -10), (0, 0), (-8, 10)], [(0, 0), (8, 10)]],
    13: [[(0, -10), (0, 10)]],
    14: [[(0, 10), (9, -5), (-9, -5), (0, 10)], [(0, -10), (9, 5), (-9, 5), (0, -10)]],
    15: [[(1, 0), (0, 1), (-1, 0), (0, -1), (1, 0)]],
    16: [circle(4, 8)],
    17: [circle(11, 16)],
    18: [circle(22, 24)],
    19: [circle(4, 12)] + hatch([(-3, 3), (-2, 3), (-1, 4), (0, 4), (1, 4), (2, 3), (3, 3)]),
    20: [[(-4, -4), (4, -4), (4, 4), (-4, 4), (-4, -4), (-4, -3), (4, -3), (4, -2), (-4, -2),
          (-4, -1), (4, -1), (4, 0), (-4, 0), (-4, 1), (4, 1), (4, 2), (-4, 2), (-4, 3), (4, 3)]],
    21: [[(-5, 3), (5, 3), (0, -6), (-5, 3)],
         [(-4, 1), (4, 1), (3, -1), (-3, -1), (-2, -3), (2, -3)]],
}

# Stored position of symbol n; glyph_ reads the symbols through this order.
SYMBOL_SLOT = [0, 2, 1, 5, 3, 11, 4, 10, 6, 12, 7, 8, 9] + list(range(13, 22))


class FontError(Exception):
    pass


def read_jhf(path):
    """Glyphs of a .jhf file in file order: (number, left, right, strokes),
    strokes as (pen, x, y) with Hershey's y downwards."""
    glyphs = []
    with open(path, encoding="ascii") as f:
        buf = ""
        for line in f:
            line = line.rstrip("\r\n")
            if not line and not buf:
                continue
            buf += line
            try:
                count = int(buf[5:8])
            except ValueError:
                raise FontError(f"{path}: bad vertex count in: {buf[:20]}")
            if len(buf) - 8 < 2 * count:
                continue  # the glyph goes on in the next line
            glyphs.append(parse_glyph(path, buf, count))
            buf = ""
        if buf:
            raise FontError(f"{path}: last glyph is cut short")
    return glyphs


def parse_glyph(path, text, count):
    number = int(text[0:5]) if text[0:5].strip().isdigit() else 0
    body = text[8:8 + 2 * count]
    left, right = ord(body[0]) - 82, ord(body[1]) - 82
    strokes = []
    pen = 3
    for i in range(1, count):
        pair = body[2 * i:2 * i + 2]
        if pair == " R":
            pen = 3
            continue
        strokes.append((pen, ord(pair[0]) - 82, ord(pair[1]) - 82))
        pen = 2
    return number, left, right, strokes


def glyph_of(fonts, name, key):
    table = fonts[name]
    index = key if isinstance(key, int) else ord(key)
    if not 32 <= index < 32 + len(table):
        raise FontError(f"{name}: no glyph at position {index}")
    return table[index - 32]


def font_units(glyph, source):
    """Strokes from the glyph's left bound, y up from the baseline."""
    _, left, right, strokes = glyph
    if not strokes:
        raise FontError(f"{source}: the glyph has no strokes")
    out = [(pen, x - left, 9 - y) for pen, x, y in strokes]
    for _, x, y in out:
        if not (-10 <= x <= 53 and -11 <= y <= 52):
            raise FontError(f"{source}: point ({x}, {y}) outside the packed range")
    return right - left, out


def pack(entries, x_bias, y_bias):
    """Entries (pen, x, y) and a closing pen-0 entry, two per word."""
    codes = [(pen << 12) | ((x + x_bias) << 6) | (y + y_bias) for pen, x, y in entries]
    codes.append(0)
    if len(codes) % 2:
        codes.append(0)
    return [(codes[i] << 15) | codes[i + 1] for i in range(0, len(codes), 2)]


def build(hershey_dir):
    names = {f for _, a, b, _ in FONTS for f in (a, b) if f} | {f for f, _, _ in SHARED}
    fonts = {}
    for name in sorted(names):
        fonts[name] = read_jhf(os.path.join(hershey_dir, name + ".jhf"))

    slots = [None] * (GLYPHS + 1)  # 1-based: (width, strokes, note)
    for label, latin, greek, offset in FONTS:
        keys = ([chr(c) for c in range(ord("A"), ord("Z") + 1)]
                + [chr(c) for c in range(ord("a"), ord("z") + 1)]
                + [chr(c) for c in range(ord("0"), ord("9") + 1)]
                + list(LATIN_SIGNS))
        sources = [(latin, k) for k in keys]
        if greek:
            # The Greek files hold the 24 letters in alphabetical order at A..X and a..x.
            sources += [(greek, chr(ord("A") + i)) for i in range(24)]
            sources += [(greek, chr(ord("a") + i)) for i in range(24)]
        for i, (name, key) in enumerate(sources):
            g = glyph_of(fonts, name, key)
            width, strokes = font_units(g, f"{name} {key!r}")
            slots[offset + 1 + i] = (width, strokes, f"{label}: {name} {key!r}")
    if len(SHARED) != GLYPHS - 384:
        raise FontError("the shared sign list must hold 48 signs")
    for i, (name, key, what) in enumerate(SHARED):
        g = glyph_of(fonts, name, key)
        width, strokes = font_units(g, f"{name} {key!r}")
        slots[385 + i] = (width, strokes, what)
    missing = [i for i in range(1, GLYPHS + 1) if slots[i] is None]
    if missing:
        raise FontError(f"glyphs without data: {missing[:5]}")

    widths, words, starts = [], [], []
    for i in range(1, GLYPHS + 1):
        width, strokes, _ = slots[i]
        widths.append(width)
        starts.append(len(words) + 1)
        words += pack(strokes, 10, 11)

    symbol_words, symbol_starts = [], [0] * SYMBOLS
    by_slot = {SYMBOL_SLOT[n]: n for n in range(SYMBOLS)}
    for m in range(SYMBOLS):
        entries = []
        for line in SYMBOL_SHAPES[by_slot[m]]:
            for j, (x, y) in enumerate(line):
                if not (-32 <= x <= 31 and -32 <= y <= 31):
                    raise FontError(f"symbol {by_slot[m]}: point outside the packed range")
                entries.append((3 if j == 0 else 2, x, y))
        symbol_starts[m] = len(symbol_words) + 1
        symbol_words += pack(entries, 32, 32)
    return slots, widths, words, starts, symbol_words, symbol_starts


def comment_block(text, prefix="// "):
    return "\n".join((prefix + line).rstrip() for line in text.splitlines())


def int_rows(values, per_row, fmt):
    rows = []
    for i in range(0, len(values), per_row):
        rows.append("    " + ", ".join(fmt(v) for v in values[i:i + per_row]) + ",")
    return "\n".join(rows)


HEADER_INTRO = """\
// Generated by tools/make_font_tables.py from the Hershey fonts; do not edit.
//
// Acknowledgements that go with the Hershey font data:
{ack}
"""


def write_header(path, n_words, n_symbol_words):
    text = HEADER_INTRO.format(ack=comment_block(ACKNOWLEDGEMENT)) + f"""\
#pragma once
#include <cstdint>

namespace daz {{

inline constexpr int kGlyphCount = {GLYPHS};
inline constexpr int kStrokeWords = {n_words};
inline constexpr int kSymbolCount = {SYMBOLS};
inline constexpr int kSymbolWords = {n_symbol_words};

// The glyph and marker symbol outlines. A word holds two 15-bit stroke
// entries (bits 29..15 first, 14..0 second): pen code in the top 3 bits
// (3 move, 2 draw, 0 end), then a 6-bit x and a 6-bit y field. Font glyphs:
// x = field - 10, y = field - 11 in units of 1/21 of the capital height,
// y = 0 on the baseline; marker symbols: x = field - 32, y = field - 32,
// centred. Start indices count from 1 in d and sd.
struct Ialph {{
    float w[kGlyphCount];             // advance of each glyph, font units
    std::int32_t d[kStrokeWords];     // glyph strokes
    std::int32_t st[kGlyphCount];     // first word of each glyph in d
    std::int32_t sd[kSymbolWords];    // marker symbol strokes
    std::int32_t sst[kSymbolCount];   // first word of each stored symbol in sd
}};

extern const Ialph ialph;

}}  // namespace daz
"""
    with open(path, "w", encoding="ascii") as f:
        f.write(text)


def write_source(path, slots, widths, words, starts, symbol_words, symbol_starts):
    layout = []
    for label, latin, greek, offset in FONTS:
        count = 120 if greek else 72
        layout.append(f"{offset + 1:4d}..{offset + count:<4d} {label} ({latin}"
                      + (f", Greek from {greek})" if greek else ")"))
    signs = [f"{385 + i:4d} {what} ({name})" for i, (name, _, what) in enumerate(SHARED)]
    intro = HEADER_INTRO.format(ack=comment_block(ACKNOWLEDGEMENT))
    text = intro + "//\n// Glyph numbers:\n" + comment_block("\n".join(layout), "//   ") + \
        "\n// Shared signs:\n" + comment_block("\n".join(signs), "//   ") + f"""
#include "daz/font_tables.h"

namespace daz {{

const Ialph ialph = {{
    {{
{int_rows(widths, 12, lambda v: f"{v}.0f")}
    }},
    {{
{int_rows(words, 6, lambda v: f"{v:#010x}")}
    }},
    {{
{int_rows(starts, 12, str)}
    }},
    {{
{int_rows(symbol_words, 6, lambda v: f"{v:#010x}")}
    }},
    {{
{int_rows(symbol_starts, 12, str)}
    }},
}};

}}  // namespace daz
"""
    with open(path, "w", encoding="ascii") as f:
        f.write(text)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    hershey_dir = argv[1] if len(argv) > 1 else "/usr/share/hershey-fonts"
    out_dir = argv[2] if len(argv) > 2 else os.path.join(os.path.dirname(here), "daz")
    try:
        slots, widths, words, starts, sym_words, sym_starts = build(hershey_dir)
    except (OSError, FontError) as e:
        print(f"make_font_tables: {e}", file=sys.stderr)
        if isinstance(e, OSError):
            print("make_font_tables: the Hershey data comes with the Debian package "
                  "hershey-fonts-data", file=sys.stderr)
        return 1
    write_header(os.path.join(out_dir, "font_tables.h"), len(words), len(sym_words))
    write_source(os.path.join(out_dir, "font_tables.cpp"), slots, widths, words, starts,
                 sym_words, sym_starts)
    print(f"make_font_tables: {GLYPHS} glyphs in {len(words)} words, "
          f"{SYMBOLS} symbols in {len(sym_words)} words")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
