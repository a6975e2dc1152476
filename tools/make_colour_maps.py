#!/usr/bin/env python3
"""Writes daz/colour_map_tables.h and daz/colour_map_tables.cpp: the
perceptual colour maps a section can be drawn in, by name.

The maps come from the GMT colour tables (.cpt) of the Debian package
gmt-common: the cmocean maps, the matplotlib maps and the Scientific colour
maps. Run from anywhere:

    python3 tools/make_colour_maps.py [CPT_DIR [OUTPUT_DIR [COPYRIGHT]]]

CPT_DIR defaults to /usr/share/gmt/cpt, OUTPUT_DIR to the daz/ folder next to
this tools/ folder, COPYRIGHT to the package's /usr/share/doc/gmt-common/
copyright, whose licence texts go into the tables with each map's own
licence and citation lines. Only the standard library is used.

Each map keeps as few of its colours as give every colour of the table
within one byte (out of 255) by straight-line interpolation between them:
some twenty nodes a map instead of 256, with no difference to be seen.
"""

import os
import sys

# (name, file under CPT_DIR, kind). Sequential maps run one way in
# lightness; diverging maps are centred on their hinge; the others are
# cyclic or made of parts.
MAPS = [
    ("thermal", "cmocean/thermal.cpt", "Sequential"),
    ("haline", "cmocean/haline.cpt", "Sequential"),
    ("dense", "cmocean/dense.cpt", "Sequential"),
    ("algae", "cmocean/algae.cpt", "Sequential"),
    ("oxy", "cmocean/oxy.cpt", "Other"),
    ("turbid", "cmocean/turbid.cpt", "Sequential"),
    ("balance", "cmocean/balance.cpt", "Diverging"),
    ("delta", "cmocean/delta.cpt", "Diverging"),
    ("curl", "cmocean/curl.cpt", "Diverging"),
    ("diff", "cmocean/diff.cpt", "Diverging"),
    ("tarn", "cmocean/tarn.cpt", "Diverging"),
    ("topo", "cmocean/topo.cpt", "Diverging"),
    ("deep", "cmocean/deep.cpt", "Sequential"),
    ("speed", "cmocean/speed.cpt", "Sequential"),
    ("amp", "cmocean/amp.cpt", "Sequential"),
    ("tempo", "cmocean/tempo.cpt", "Sequential"),
    ("solar", "cmocean/solar.cpt", "Sequential"),
    ("ice", "cmocean/ice.cpt", "Sequential"),
    ("matter", "cmocean/matter.cpt", "Sequential"),
    ("rain", "cmocean/rain.cpt", "Sequential"),
    ("gray", "cmocean/gray.cpt", "Sequential"),
    ("phase", "cmocean/phase.cpt", "Other"),
    ("viridis", "matplotlib/viridis.cpt", "Sequential"),
    ("magma", "matplotlib/magma.cpt", "Sequential"),
    ("inferno", "matplotlib/inferno.cpt", "Sequential"),
    ("plasma", "matplotlib/plasma.cpt", "Sequential"),
    ("batlow", "SCM/batlow.cpt", "Sequential"),
    ("acton", "SCM/acton.cpt", "Sequential"),
    ("bamako", "SCM/bamako.cpt", "Sequential"),
    ("bilbao", "SCM/bilbao.cpt", "Sequential"),
    ("buda", "SCM/buda.cpt", "Sequential"),
    ("davos", "SCM/davos.cpt", "Sequential"),
    ("devon", "SCM/devon.cpt", "Sequential"),
    ("grayC", "SCM/grayC.cpt", "Sequential"),
    ("hawaii", "SCM/hawaii.cpt", "Sequential"),
    ("imola", "SCM/imola.cpt", "Sequential"),
    ("lajolla", "SCM/lajolla.cpt", "Sequential"),
    ("lapaz", "SCM/lapaz.cpt", "Sequential"),
    ("nuuk", "SCM/nuuk.cpt", "Sequential"),
    ("oslo", "SCM/oslo.cpt", "Sequential"),
    ("tokyo", "SCM/tokyo.cpt", "Sequential"),
    ("turku", "SCM/turku.cpt", "Sequential"),
    ("roma", "SCM/roma.cpt", "Diverging"),
    ("vik", "SCM/vik.cpt", "Diverging"),
    ("broc", "SCM/broc.cpt", "Diverging"),
    ("cork", "SCM/cork.cpt", "Diverging"),
    ("berlin", "SCM/berlin.cpt", "Diverging"),
    ("lisbon", "SCM/lisbon.cpt", "Diverging"),
    ("tofino", "SCM/tofino.cpt", "Diverging"),
    ("bam", "SCM/bam.cpt", "Diverging"),
    ("vanimo", "SCM/vanimo.cpt", "Diverging"),
    ("bukavu", "SCM/bukavu.cpt", "Diverging"),
    ("fes", "SCM/fes.cpt", "Diverging"),
    ("oleron", "SCM/oleron.cpt", "Diverging"),
]

# How far, in bytes, the interpolated colours may lie from the table's.
TOLERANCE = 1.0
POSITION_SCALE = 65535


def read_cpt(path):
    """The header comment lines and the slices (z0, rgb0, z1, rgb1)."""
    comments, slices = [], []
    with open(path, encoding="utf-8") as f:
        for line in f:
            text = line.strip()
            if not text:
                continue
            if text.startswith("#"):
                comments.append(text[1:].strip())
                continue
            fields = text.split()
            if fields[0] in ("B", "F", "N"):
                continue
            if len(fields) < 4:
                raise SystemExit(f"{path}: not a slice: {text}")
            rgb = [tuple(int(v) for v in fields[i].split("/")) for i in (1, 3)]
            slices.append((float(fields[0]), rgb[0], float(fields[2]), rgb[1]))
    if not slices:
        raise SystemExit(f"{path}: no colour slices")
    return comments, slices


def nodes_of(slices):
    """The map as (fraction, rgb) nodes. Slices of one colour each, all of
    one width, are samples of a continuous map, spread from end to end;
    other slices give their own ends."""
    z_lo, z_hi = slices[0][0], slices[-1][2]
    width = [s[2] - s[0] for s in slices]
    sampled = all(s[1] == s[3] for s in slices) and max(width) - min(width) < 1e-4 * (z_hi - z_lo)
    if sampled:
        n = len(slices)
        return [(i / (n - 1), s[1]) for i, s in enumerate(slices)], z_lo, z_hi
    nodes = []
    for z0, c0, z1, c1 in slices:
        if not nodes or nodes[-1][1] != c0 or abs(nodes[-1][0] - z0) > 1e-9:
            nodes.append((z0, c0))
        nodes.append((z1, c1))
    return [((z - z_lo) / (z_hi - z_lo), c) for z, c in nodes], z_lo, z_hi


def quantised(f):
    return round(f * POSITION_SCALE)


def between(a, b, f):
    """The colour at fraction f on the straight line from node a to node b."""
    fa, fb = a[0] / POSITION_SCALE, b[0] / POSITION_SCALE
    t = 0.0 if fb == fa else (f - fa) / (fb - fa)
    return tuple(ca + t * (cb - ca) for ca, cb in zip(a[1], b[1]))


def thin_run(run):
    """The fewest nodes of a run without steps, greedily from its start,
    whose straight lines stay within TOLERANCE of every node of the run."""
    kept, i = [run[0]], 0
    while i < len(run) - 1:
        j = i + 1
        while j + 1 < len(run) and all(
                max(abs(x - y) for x, y in zip(between(run[i], run[j + 1], run[k][0] / POSITION_SCALE), run[k][1]))
                <= TOLERANCE for k in range(i + 1, j + 1)):
            j += 1
        kept.append(run[j])
        i = j
    # Every colour of the run comes back from the kept nodes.
    for f, c in run:
        k = max(n for n in range(len(kept)) if kept[n][0] <= f)
        got = kept[k][1] if k + 1 == len(kept) else between(kept[k], kept[k + 1], f / POSITION_SCALE)
        if max(abs(x - y) for x, y in zip(got, c)) > TOLERANCE + 1e-6:
            raise SystemExit(f"thinning lost colour {c} at {f}")
    return kept


def thin(nodes):
    """The fewest nodes that give every colour of the table within TOLERANCE; a step (two
    nodes at one place) is kept, and the runs between steps are thinned."""
    full = [(quantised(f), c) for f, c in nodes]
    runs, run = [], [full[0]]
    for node in full[1:]:
        if node[0] == run[-1][0]:
            runs.append(run)
            run = [node]
        else:
            run.append(node)
    runs.append(run)
    return [n for r in runs for n in thin_run(r)]


def hinge_of(comments, z_lo, z_hi):
    """Where a diverging map's zero lies, as a fraction: its hinge (z = 0,
    or the value a HINGE = line gives) when inside the range, else the middle."""
    z = 0.0
    for c in comments:
        if c.replace(" ", "").startswith("HINGE="):
            z = float(c.split("=", 1)[1])
    return (z - z_lo) / (z_hi - z_lo) if z_lo < z < z_hi else 0.5


def family_of(path):
    return path.split("/", 1)[0]


def credit_lines(comments):
    """The lines of a table's header that say where it comes from: all but
    its title line ("family/name : what it is") and the format notes."""
    out = []
    for c in comments:
        if not c or set(c) <= set("-") or c.startswith("COLOR_MODEL") or "HINGE" in c or c == "CYCLIC" or c.startswith("Note:"):
            continue
        if " : " in c and "/" in c.split(" : ", 1)[0]:
            continue
        out.append(c)
    return out


def licence_texts(copyright_path):
    """The licence paragraphs of a Debian copyright file, by name."""
    texts, name, body = {}, None, []
    with open(copyright_path, encoding="utf-8") as f:
        for line in f.read().split("\n") + [""]:
            if line.startswith("License:") and not line.startswith("License: ") or not line.strip():
                if name and body:
                    texts[name] = body
                name, body = None, []
            if line.startswith("License:"):
                name, body = line.split(":", 1)[1].strip(), []
            elif name is not None and line.startswith(" "):
                body.append("" if line.strip() == "." else line.strip())
    return texts


def files_licence(copyright_path, cpt_file):
    """The Copyright and License fields of the paragraph that lists the file
    (share/cpt/<cpt_file>), else of the paragraph for every file."""
    with open(copyright_path, encoding="utf-8") as f:
        paragraphs = f.read().split("\n\n")
    found = fallback = None
    for p in paragraphs:
        lines = p.split("\n")
        if not lines[0].startswith("Files:"):
            continue
        files = [lines[0][len("Files:"):].strip()]
        i = 1
        while i < len(lines) and lines[i].startswith(" "):
            files.append(lines[i].strip())
            i += 1
        fields = {}
        key = None
        for line in lines[i:]:
            if line.startswith(" ") and key:
                fields[key].append(line.strip())
            elif ":" in line:
                key, value = line.split(":", 1)
                fields[key] = [value.strip()]
        if "share/cpt/" + cpt_file in files:
            found = fields
        if files == ["*"]:
            fallback = fields
    return found or fallback


def licence_block(copyright_path, licences, families):
    out = []
    for family, members in families.items():
        fields = files_licence(copyright_path, members[0][1])
        names = [name for name, _, _ in members]
        out.append(f"{family}: {', '.join(names)}")
        # Each credit line of the family's tables, with the maps it belongs
        # to when not all of them.
        lines = {}
        for name, _, comments in members:
            for c in credit_lines(comments):
                lines.setdefault(c, []).append(name)
        for c, owners in lines.items():
            out.append("  " + c + ("" if owners == names else f" ({', '.join(owners)})"))
        out.append("  GMT's Debian copyright file: Copyright: " + " / ".join(fields["Copyright"]) +
                   "; License: " + fields["License"][0])
        out.append("")
    if "Expat" in licences:
        out.append("The Expat (MIT) licence, as the copyright file gives it:")
        out += ["  " + line if line else "" for line in licences["Expat"]]
        out.append("")
    return out


def comment(lines):
    return "".join(("// " + l).rstrip() + "\n" for l in lines)


def write_header(path, count):
    text = f"""\
// Generated by tools/make_colour_maps.py from GMT's colour tables; do not
// edit. The maps' licences and citations are in colour_map_tables.cpp.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

namespace daz {{

enum class MapKind {{ Sequential, Diverging, Other }};

// One colour of a map at value fraction at / 65535; between nodes the
// colours run in straight lines, two nodes at one place make a step.
struct MapNode {{
    std::uint16_t at;
    std::uint8_t red, green, blue;
}};

struct ColourMapTable {{
    std::string_view name;
    MapKind kind;
    float hinge;  // Diverging: the fraction where zero lies
    std::span<const MapNode> nodes;
}};

inline constexpr int kColourMapCount = {count};
extern const ColourMapTable kColourMapTables[kColourMapCount];

}}  // namespace daz
"""
    with open(path, "w", encoding="ascii") as f:
        f.write(text)


def write_source(path, maps, notice):
    text = "// Generated by tools/make_colour_maps.py from GMT's colour tables; do not edit.\n//\n"
    text += comment(["The colour maps, from the .cpt files of the Debian package gmt-common:", ""] + notice)
    text += '#include "daz/colour_map_tables.h"\n\nnamespace daz {\n\nnamespace {\n\n'
    for name, source, kind, hinge, nodes in maps:
        text += f"// {name}: {source}, {len(nodes)} nodes\n"
        text += f"constexpr MapNode k_{name}[] = {{\n"
        row = "   "
        for at, (r, g, b) in nodes:
            item = f" {{{at}, {r}, {g}, {b}}},"
            if len(row) + len(item) > 110:
                text += row + "\n"
                row = "   "
            row += item
        text += row + "\n};\n\n"
    text += "}  // namespace\n\nconst ColourMapTable kColourMapTables[kColourMapCount] = {\n"
    for name, source, kind, hinge, nodes in maps:
        text += f'    {{"{name}", MapKind::{kind}, {hinge:.6f}f, k_{name}}},\n'
    text += "};\n\n}  // namespace daz\n"
    with open(path, "w", encoding="ascii") as f:
        f.write(text)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    cpt_dir = argv[1] if len(argv) > 1 else "/usr/share/gmt/cpt"
    out_dir = argv[2] if len(argv) > 2 else os.path.join(here, "..", "daz")
    copyright_path = argv[3] if len(argv) > 3 else "/usr/share/doc/gmt-common/copyright"
    maps, families = [], {}
    for name, rel, kind in MAPS:
        comments, slices = read_cpt(os.path.join(cpt_dir, rel))
        nodes, z_lo, z_hi = nodes_of(slices)
        hinge = hinge_of(comments, z_lo, z_hi) if kind == "Diverging" else 0.0
        maps.append((name, rel, kind, hinge, thin(nodes)))
        families.setdefault(family_of(rel), []).append((name, rel, comments))
    notice = licence_block(copyright_path, licence_texts(copyright_path), families)
    write_header(os.path.join(out_dir, "colour_map_tables.h"), len(maps))
    write_source(os.path.join(out_dir, "colour_map_tables.cpp"), maps, notice)
    total = sum(len(m[4]) for m in maps)
    print(f"{len(maps)} colour maps, {total} nodes")


if __name__ == "__main__":
    main(sys.argv)
