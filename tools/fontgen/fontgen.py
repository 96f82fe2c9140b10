#!/usr/bin/env python3
"""Builds the calculator preview's three pixel fonts.

Reads the public-domain misc-fixed bitmap fonts (Debian package xfonts-base, converted
with pcf2bdf), picks for each of the 256 calculator codes the glyph of its Unicode
equivalent, fits it into the cell of each size, lays the hand-drawn glyphs of
handmade.txt over the result and writes preview/pixel_font_data.cpp. With --sheet it
also draws every glyph of every size into a PNG for review.

Usage (from the repository root):
    tools/fontgen/fontgen.py [--fonts DIR] [--out FILE] [--sheet FILE.png] [--report]
"""

import argparse
import gzip
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))


# ---------------------------------------------------------------------------
# Sizes: the cell, where the baseline lies in it, and the font the glyphs come from.
# "baseline" is the cell row holding the bottom of the capitals; rows below it take
# the descenders. "maxInk" is the widest ink a glyph may keep (the rest is spacing).
class Size:
    def __init__(self, number, name, width, height, baseline, font, proportional, max_ink,
                 gap_first=False, offset=0):
        self.number = number
        self.name = name
        self.width = width
        self.height = height
        self.baseline = baseline
        self.font = font
        self.proportional = proportional
        self.max_ink = max_ink
        self.gap_first = gap_first  # drop the gap under an accent before repeated rows
        self.offset = offset  # columns added on the left of the source glyph


SIZES = [
    Size(1, "Small", 4, 6, 4, "4x6", True, 3),
    Size(2, "Normal", 6, 8, 6, "6x10", False, 5),
    Size(3, "Large", 8, 10, 7, "8x13", False, 7, gap_first=True),
]
SPACE_WIDTH_SMALL = 3  # the proportional font's space


# ---------------------------------------------------------------------------
# BDF fonts (the PCF files are converted with pcf2bdf first).
class Font:
    def __init__(self, path):
        self.ascent = 0
        self.descent = 0
        self.copyright = ""
        self.glyphs = {}  # code point -> list of rows, each a list of 0/1, full font cell
        self.width = 0
        self._load(path)

    def _load(self, path):
        raw = []
        cur = None
        bitmap = None
        for line in open(path, encoding="latin-1"):
            parts = line.split()
            if not parts:
                continue
            key = parts[0]
            if key == "FONT_ASCENT":
                self.ascent = int(parts[1])
            elif key == "FONT_DESCENT":
                self.descent = int(parts[1])
            elif key == "COPYRIGHT":
                self.copyright = line.split(None, 1)[1].strip().strip('"')
            elif key == "FONTBOUNDINGBOX":
                self.width = int(parts[1])
            elif key == "STARTCHAR":
                cur = {}
            elif key == "ENCODING":
                cur["enc"] = int(parts[1])
            elif key == "BBX":
                cur["bbx"] = tuple(int(p) for p in parts[1:5])
            elif key == "BITMAP":
                bitmap = []
            elif key == "ENDCHAR":
                cur["bits"] = bitmap
                raw.append(cur)
                bitmap = None
            elif bitmap is not None:
                bitmap.append(int(key, 16))
        height = self.ascent + self.descent
        for g in raw:
            w, h, xo, yo = g["bbx"]
            padded = (w + 7) // 8 * 8
            top = self.ascent - (yo + h)
            grid = [[0] * self.width for _ in range(height)]
            for r, value in enumerate(g["bits"]):
                for c in range(w):
                    if value >> (padded - 1 - c) & 1:
                        y, x = top + r, xo + c
                        if 0 <= y < height and 0 <= x < self.width:
                            grid[y][x] = 1
            self.glyphs[g["enc"]] = grid


def load_font(fonts_dir, name, workdir):
    bdf = os.path.join(fonts_dir, name + ".bdf")
    if os.path.exists(bdf):
        return Font(bdf)
    pcf_gz = os.path.join(fonts_dir, name + ".pcf.gz")
    if not os.path.exists(pcf_gz):
        sys.exit("fontgen: %s not found (install xfonts-base, or pass --fonts)" % pcf_gz)
    pcf = os.path.join(workdir, name + ".pcf")
    with gzip.open(pcf_gz) as src, open(pcf, "wb") as dst:
        dst.write(src.read())
    bdf = os.path.join(workdir, name + ".bdf")
    try:
        subprocess.run(["pcf2bdf", "-o", bdf, pcf], check=True)
    except FileNotFoundError:
        sys.exit("fontgen: pcf2bdf is missing (apt-get install pcf2bdf)")
    return Font(bdf)


# ---------------------------------------------------------------------------
# The calculator character table, read from the C++ source so that it has one home.
ENTRY = re.compile(r"\{(0x[0-9A-Fa-f]{2}|kXBar|kYBar),\s*U'(\\u[0-9A-Fa-f]{4}|\\U[0-9A-Fa-f]{8}|.)'\}")
NAMED = {"kXBar": 0x9A, "kYBar": 0x9B}


def read_charset(path):
    text = open(path, encoding="utf-8").read()

    def entries(array):
        start = text.index(array)
        end = text.index("};", start)
        out = {}
        for code, cp in ENTRY.findall(text[start:end]):
            code = NAMED.get(code) or int(code, 16)
            out[code] = int(cp[2:], 16) if cp.startswith("\\") else ord(cp)
        return out

    special = entries("kSpecial[]")
    standin = entries("kGlyph[]")
    if len(special) < 50:
        sys.exit("fontgen: could not read the character table in " + path)
    table = {i: special.get(i, i) for i in range(256)}
    return table, standin


def describe(table, code):
    cp = table[code]
    if code in (0x9A, 0x9B):
        return chr(cp) + "\u0305"
    if cp < 0x20 or cp == 0x7F:
        return "U+%04X" % cp
    return chr(cp)


# ---------------------------------------------------------------------------
# Hand-drawn glyphs: "glyph SIZE CODE [width W]" (CODE in hexadecimal), then one line per
# cell row of '#' (ink) and '.' (paper). Lines starting with "//" are comments.
def read_handmade(path):
    glyphs = {}
    lines = open(path, encoding="utf-8").read().splitlines()
    i = 0
    while i < len(lines):
        if lines[i].startswith("//") or not lines[i].strip():
            i += 1
            continue
        parts = lines[i].split()
        if parts[0] != "glyph":
            sys.exit("handmade.txt:%d: expected 'glyph SIZE CODE'" % (i + 1))
        size = int(parts[1])
        codes = [int(parts[2], 16)]
        width = None
        if len(parts) >= 5 and parts[3] == "width":
            width = int(parts[4])
        size_info = SIZES[size - 1]
        rows = []
        for r in range(size_info.height):
            row = lines[i + 1 + r].strip() if i + 1 + r < len(lines) else ""
            if len(row) != size_info.width or set(row) - set("#."):
                sys.exit("handmade.txt:%d: expected %d of '#' or '.'" % (i + 2 + r, size_info.width))
            rows.append([1 if ch == "#" else 0 for ch in row])
        for code in codes:
            if (size, code) in glyphs:
                sys.exit("handmade.txt:%d: glyph %d %02X drawn twice" % (i + 1, size, code))
            glyphs[(size, code)] = (rows, width)
        i += 1 + size_info.height
    return glyphs


# ---------------------------------------------------------------------------
# Fitting a font glyph into a cell.
def ink_rows(grid):
    return [r for r, row in enumerate(grid) if any(row)]


def ink_cols(grid):
    return [c for c in range(len(grid[0])) if any(row[c] for row in grid)]


def fit(grid, font, size_info, notes, label):
    """Returns cell rows (lists of 0/1, size_info.width wide) for a glyph of the source font."""
    rows = [list(r) for r in grid]
    # Horizontal: keep the source columns, dropping duplicate columns if the ink is wider
    # than the size allows.
    cols = ink_cols(rows)
    while cols and cols[-1] - cols[0] + 1 > size_info.max_ink + size_info.offset and \
            cols[-1] + size_info.offset >= size_info.width:
        c = find_duplicate([[row[c] for row in rows] for c in range(len(rows[0]))], cols[0], cols[-1])
        if c is None:
            break
        for row in rows:
            del row[c]
            row.append(0)
        notes.append("%s: column squeezed" % label)
        cols = ink_cols(rows)
    width = len(rows[0])
    if cols and cols[-1] + size_info.offset >= size_info.width:
        shift = cols[-1] + size_info.offset - (size_info.width - 1)
        rows = [row[shift:] + [0] * shift for row in rows]
    # Vertical: font row r lands on cell row r - (ascent - 1) + baseline.
    delta = size_info.baseline - (font.ascent - 1)
    ink = ink_rows(rows)
    if not ink:
        return blank(size_info)
    top, bottom = ink[0], ink[-1]
    # Drop rows that lose nothing. Above: a row equal to its neighbour, and the blank row
    # under an accent (first, for the large size, whose accented capitals then keep six
    # rows; after, for the normal size, whose accented o and O would come out alike).
    # Below: a row equal to its neighbour under the baseline, then a blank row there.
    # Then a duplicate anywhere.
    while top + delta < 0 or bottom + delta > size_info.height - 1:
        over_top = top + delta < 0
        base = font.ascent - 1
        if over_top:
            x_top = ink_rows(font.glyphs[ord("x")])[0]
            r = find_gap(rows, top, min(bottom, x_top - 1)) if size_info.gap_first else None
            if r is None:
                r = find_duplicate(rows, top, min(bottom, base), prefer="top")
            if r is None:
                r = find_gap(rows, top, min(bottom, x_top - 1))
        else:
            r = find_duplicate(rows, max(top, base + 1), bottom, prefer="bottom")
            if r is None:
                r = find_gap(rows, max(top, base + 1), bottom)
        if r is None:
            r = find_duplicate(rows, top, bottom, prefer="bottom" if not over_top else "top")
        if r is None and over_top and bottom >= base:
            # Standing on the baseline: merge the two most alike neighbouring rows rather
            # than move the glyph off the line.
            r = find_alike(rows, top, base)
            rows[r + 1] = [a | b for a, b in zip(rows[r], rows[r + 1])]
            notes.append("%s: rows merged" % label)
        if r is None:
            break
        del rows[r]
        if over_top:
            rows.insert(0, [0] * width)
        else:
            rows.append([0] * width)
        notes.append("%s: row squeezed" % label)
        ink = ink_rows(rows)
        top, bottom = ink[0], ink[-1]
    # Still too tall at one end: move the glyph if the other end has room.
    if bottom + delta > size_info.height - 1 and top + delta > 0:
        move = min(bottom + delta - (size_info.height - 1), top + delta)
        delta -= move
        notes.append("%s: raised %d" % (label, move))
    elif top + delta < 0 and bottom + delta < size_info.height - 1:
        move = min(-(top + delta), size_info.height - 1 - (bottom + delta))
        delta += move
        notes.append("%s: lowered %d" % (label, move))
    if top + delta < 0 or bottom + delta > size_info.height - 1:
        notes.append("%s: CUT (draw it in handmade.txt)" % label)
    cell = blank(size_info)
    for r in range(size_info.height):
        src = r - delta
        if 0 <= src < len(rows):
            for c in range(size_info.width):
                s = c - size_info.offset
                if 0 <= s < width:
                    cell[r][c] = rows[src][s]
    return cell


def find_duplicate(lines, lo, hi, prefer="top"):
    """Index of a line in lo..hi equal to a neighbour (so that deleting it loses nothing)."""
    candidates = [i for i in range(lo, hi + 1)
                  if any(lines[i]) and ((i > lo and lines[i] == lines[i - 1]) or
                                        (i < hi and lines[i] == lines[i + 1]))]
    if not candidates:
        return None
    middle = (lo + hi) / 2.0
    return min(candidates, key=lambda i: (abs(i - middle), i if prefer == "bottom" else -i))


def find_alike(lines, lo, hi):
    """Index i in lo..hi-1 where lines i and i + 1 differ in the fewest pixels."""
    def distance(i):
        return sum(a != b for a, b in zip(lines[i], lines[i + 1]))
    return min(range(lo, hi), key=lambda i: (distance(i), -i))


def find_gap(lines, lo, hi):
    """Index of a blank line with ink above and below it in lo..hi."""
    for i in range(lo + 1, hi):
        if not any(lines[i]) and any(lines[i - 1]) and any(lines[i + 1]):
            return i
    return None


def blank(size_info):
    return [[0] * size_info.width for _ in range(size_info.height)]


def proportional(cell):
    """Moves the ink to the left edge; the advance is the ink and one blank column."""
    cols = ink_cols(cell)
    if not cols:
        return cell, SPACE_WIDTH_SMALL
    left = cols[0]
    cell = [row[left:] + [0] * left for row in cell]
    return cell, min(len(cell[0]), cols[-1] - left + 2)


# ---------------------------------------------------------------------------
def build(args):
    table, standin = read_charset(args.charset)
    handmade = read_handmade(args.handmade)
    workdir = tempfile.mkdtemp(prefix="fontgen")
    fonts = {}
    result = {}  # size number -> list of (rows, width, source)
    notes = []
    for size_info in SIZES:
        font = fonts.get(size_info.font) or load_font(args.fonts, size_info.font, workdir)
        fonts[size_info.font] = font
        glyphs = []
        for code in range(256):
            label = "size %d %02X %s" % (size_info.number, code, describe(table, code))
            if (size_info.number, code) in handmade:
                rows, width = handmade[(size_info.number, code)]
                rows = [list(r) for r in rows]
                if size_info.proportional:
                    rows, auto = proportional(rows)
                    width = width or auto
                glyphs.append((rows, width or size_info.width, "hand"))
                continue
            cp = table[code]
            if cp not in font.glyphs and code in standin:
                cp = standin[code]
            if cp not in font.glyphs or (code < 0x20 and code not in standin and cp < 0x20):
                notes.append("%s: MISSING (draw it in handmade.txt)" % label)
                glyphs.append((blank(size_info), size_info.width, "missing"))
                continue
            rows = fit(font.glyphs[cp], font, size_info, notes, label)
            width = size_info.width
            if size_info.proportional:
                rows, width = proportional(rows)
            glyphs.append((rows, width, size_info.font))
        result[size_info.number] = glyphs
    check(result, table, notes)
    return result, fonts, table, notes


def check(result, table, notes):
    for size_info in SIZES:
        seen = {}
        for code, (rows, width, _) in enumerate(result[size_info.number]):
            key = tuple(tuple(r) for r in rows)
            if key in seen and equivalents(table, seen[key]) != equivalents(table, code):
                notes.append("size %d: %02X %s looks like %02X %s (SAME GLYPH)" %
                             (size_info.number, code, describe(table, code), seen[key],
                              describe(table, seen[key])))
            seen.setdefault(key, code)
            cols = ink_cols(rows)
            if cols and cols[-1] >= width:
                notes.append("size %d %02X: ink past the advance" % (size_info.number, code))


def equivalents(table, code):
    return (table[code], 0x305 if code in (0x9A, 0x9B) else 0)


# ---------------------------------------------------------------------------
def write_cpp(path, result, fonts, table):
    out = []
    out.append("// Generated by tools/fontgen/fontgen.py from tools/fontgen/handmade.txt and the")
    out.append("// misc-fixed bitmap fonts of X11 (Debian package xfonts-base): %s." %
               ", ".join(s.font for s in SIZES))
    out.append("// The misc-fixed fonts are in the public domain (\"%s\");" %
               fonts[SIZES[0].font].copyright.rstrip("."))
    out.append("// the hand-drawn glyphs are this project's own. Do not edit: run the generator.")
    out.append('#include "preview/pixel_font_data.h"')
    out.append("")
    out.append("namespace preview::data {")
    out.append("namespace {")
    for size_info in SIZES:
        glyphs = result[size_info.number]
        out.append("")
        out.append("// Size %d: cell %dx%d, baseline on row %d, %s." %
                   (size_info.number, size_info.width, size_info.height, size_info.baseline,
                    "proportional" if size_info.proportional else "fixed"))
        out.append("constexpr std::uint8_t k%sRows[256 * %d] = {" % (size_info.name, size_info.height))
        for code, (rows, width, source) in enumerate(glyphs):
            values = []
            for row in rows:
                v = 0
                for c, bit in enumerate(row):
                    if bit:
                        v |= 0x80 >> c
                values.append("0x%02X" % v)
            out.append("    %s,  // %02X %s" % (", ".join(values), code, comment(table, code)))
        out.append("};")
        out.append("constexpr std::uint8_t k%sWidths[256] = {" % size_info.name)
        widths = [str(g[1]) for g in glyphs]
        for i in range(0, 256, 32):
            out.append("    " + ", ".join(widths[i:i + 32]) + ",")
        out.append("};")
    out.append("")
    out.append("}  // namespace")
    out.append("")
    for size_info in SIZES:
        x_top = ink_rows(result[size_info.number][ord("x")][0])[0]
        out.append("const FontData k%s{%d, %d, %d, %d, k%sWidths, k%sRows};" %
                   (size_info.name, size_info.width, size_info.height, size_info.baseline, x_top, size_info.name,
                    size_info.name))
    out.append("")
    out.append("}  // namespace preview::data")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


def comment(table, code):
    cp = table[code]
    if code in (0x9A, 0x9B):
        return "U+%04X U+0305" % cp
    if cp < 0x21 or cp == 0x7F or cp == 0x5C or 0x80 <= cp < 0xA1 or cp == 0xAD:
        return "U+%04X" % cp  # no backslash at a line end, nothing invisible
    return "U+%04X %s" % (cp, chr(cp))


# ---------------------------------------------------------------------------
# Review sheet: each size as a 16x16 table (row = high nibble, column = low nibble).
def write_sheet(path, result, scale):
    ink = (16, 24, 16)
    paper = (255, 255, 255)
    cellbg = (214, 226, 200)
    pad = 2
    headw = 8
    panels = []
    for size_info in SIZES:
        pw = headw + 16 * (size_info.width + pad)
        ph = headw + 16 * (size_info.height + pad)
        panels.append((size_info, pw, ph))
    width = sum(p[1] for p in panels) + 8 * (len(panels) - 1) + 4
    height = max(p[2] for p in panels) + 4
    img = [[paper] * width for _ in range(height)]
    small = result[1]

    def draw(rows, w, x0, y0, bg=None):
        if bg:
            for r in range(len(rows)):
                for c in range(w):
                    img[y0 + r][x0 + c] = bg
        for r, row in enumerate(rows):
            for c, bit in enumerate(row):
                if bit:
                    img[y0 + r][x0 + c] = ink

    x = 2
    for size_info, pw, ph in panels:
        glyphs = result[size_info.number]
        for i in range(16):
            digit = ord("0123456789ABCDEF"[i])
            draw(small[digit][0], 6, x + headw + i * (size_info.width + pad), 2)
            draw(small[digit][0], 6, x, 2 + headw + i * (size_info.height + pad))
        for code, (rows, w, _) in enumerate(glyphs):
            gx = x + headw + (code % 16) * (size_info.width + pad)
            gy = 2 + headw + (code // 16) * (size_info.height + pad)
            draw(rows, w, gx, gy, cellbg)
        x += pw + 8
    write_png(path, img, scale)


def write_png(path, img, scale):
    h = len(img)
    w = len(img[0])
    raw = bytearray()
    for row in img:
        line = bytearray()
        for px in row:
            line += bytes(px) * scale
        for _ in range(scale):
            raw += b"\x00" + line

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w * scale, h * scale, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# ---------------------------------------------------------------------------
def main():
    charset = os.path.join(ROOT, "calc", "charset.cpp")
    if not os.path.exists(charset):
        charset = os.path.join(ROOT, "platform", "charset.cpp")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--fonts", default="/usr/share/fonts/X11/misc",
                        help="folder of the misc-fixed fonts (.pcf.gz or .bdf)")
    parser.add_argument("--charset", default=charset, help="the C++ character table")
    parser.add_argument("--handmade", default=os.path.join(HERE, "handmade.txt"))
    parser.add_argument("--out", default=os.path.join(ROOT, "preview", "pixel_font_data.cpp"))
    parser.add_argument("--sheet", help="also draw every glyph into this PNG")
    parser.add_argument("--scale", type=int, default=4, help="pixels per font pixel on the sheet")
    parser.add_argument("--report", action="store_true", help="list every fitted glyph")
    args = parser.parse_args()
    result, fonts, table, notes = build(args)
    problems = [n for n in notes if n.endswith(")") and n.split("(")[-1][:4] in ("draw", "SAME")]
    for note in notes if args.report else problems:
        print(note)
    write_cpp(args.out, result, fonts, table)
    if args.sheet:
        write_sheet(args.sheet, result, args.scale)
    if problems:
        sys.exit("fontgen: %d glyph(s) need attention (see above)" % len(problems))


if __name__ == "__main__":
    main()
