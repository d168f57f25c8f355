#!/usr/bin/env python3
"""Generates src/gen/drawbit_font.inc, the 8 x 9 bitmap font of the drawing layer.

Run once (the output is kept in the repository):
    python3 tools/mkfont.py /usr/share/fonts/X11/misc/6x10.pcf.gz > src/gen/drawbit_font.inc

Source: the 6x10 "misc-fixed" font of Debian's xfonts-base, which carries the notice
"Public domain terminal emulator font.  Share and enjoy."  Each glyph is taken from rows 1..9
(7 rows of capitals, 2 of descenders); letters are widened by doubling their middle column and
made bold by doubling every stroke to the right, which gives 7-pixel-wide letters with 2-pixel
stems in the 8-pixel cell (the 'A' becomes 7C 7E 13 11 13 7E 7C 00). Box-drawing and block
characters are stretched to the full cell instead, so that they join their neighbours.
Codes 1..31 and 127..254 hold the characters of the PC text-mode set (code page 437)."""
import gzip
import struct
import sys

CP437_LOW = ("\u263a\u263b\u2665\u2666\u2663\u2660\u2022\u25d8\u25cb\u25d9\u2642\u2640\u266a"
             "\u266b\u263c\u25ba\u25c4\u2195\u203c\u00b6\u00a7\u25ac\u21a8\u2191\u2193\u2192"
             "\u2190\u221f\u2194\u25b2\u25bc")


def load_pcf(path):
    """Glyph bitmaps (lists of rows of 0/1) by Unicode code point, and the copyright text."""
    d = gzip.open(path).read()
    if d[:4] != b"\x01fcp":
        sys.exit("not a PCF font: " + path)
    (ntab,) = struct.unpack("<i", d[4:8])
    tabs = {}
    for i in range(ntab):
        t, fmt, _size, off = struct.unpack("<iiii", d[8 + 16 * i:24 + 16 * i])
        tabs[t] = (fmt, off)

    def rd(off, fmt, big):
        f = (">" if big else "<") + fmt
        return struct.unpack(f, d[off:off + struct.calcsize(f)])

    # properties (type 1): only the copyright notice is wanted
    fmt, o = tabs[1]
    big = bool(fmt & 4)
    (nprop,) = rd(o + 4, "i", big)
    props = [rd(o + 8 + 9 * i, "iBi", big) for i in range(nprop)]
    so = o + 8 + 9 * nprop + ((4 - (nprop & 3)) & 3) + 4

    def cstr(k):
        return d[so + k:d.index(b"\0", so + k)].decode("latin1")
    info = {cstr(n): (cstr(v) if s else v) for n, s, v in props}

    # metrics (type 4)
    fmt, o = tabs[4]
    big = bool(fmt & 4)
    if fmt & 0x100:
        (cnt,) = rd(o + 4, "h", big)
        mets = [tuple(b - 0x80 for b in d[o + 6 + 5 * i:o + 11 + 5 * i]) for i in range(cnt)]
    else:
        (cnt,) = rd(o + 4, "i", big)
        mets = [rd(o + 8 + 12 * i, "hhhhh", big) for i in range(cnt)]

    # bitmaps (type 8)
    fmt, o = tabs[8]
    big, msbit, pad = bool(fmt & 4), bool(fmt & 8), 1 << (fmt & 3)
    (cnt,) = rd(o + 4, "i", big)
    offs = rd(o + 8, "%di" % cnt, big)
    base = o + 8 + 4 * cnt + 16
    glyphs = []
    for i in range(cnt):
        lsb, rsb, _w, asc, desc = mets[i][:5]
        width = rsb - lsb
        stride = ((width + 7) // 8 + pad - 1) // pad * pad
        rows = []
        for r in range(asc + desc):
            row = d[base + offs[i] + r * stride:base + offs[i] + (r + 1) * stride]
            rows.append([((row[c // 8] >> (7 - c % 8)) if msbit else (row[c // 8] >> (c % 8))) & 1
                         for c in range(width)])
        glyphs.append((lsb, rows))

    # encodings (type 32)
    fmt, o = tabs[32]
    big = bool(fmt & 4)
    min2, max2, min1, max1, _dflt = rd(o + 4, "hhhhh", big)
    n2 = max2 - min2 + 1
    idx = rd(o + 14, "%dH" % (n2 * (max1 - min1 + 1)), big)
    enc = {}
    for b1 in range(min1, max1 + 1):
        for b2 in range(min2, max2 + 1):
            g = idx[(b1 - min1) * n2 + b2 - min2]
            if g != 0xFFFF:
                enc[b1 * 256 + b2] = glyphs[g]
    return enc, info.get("COPYRIGHT", "")


def cell10(glyph):
    """The glyph in a 6 x 10 cell (rows 0..9, columns 0..5)."""
    lsb, rows = glyph
    out = [[0] * 6 for _ in range(10)]
    for r, row in enumerate(rows[:10]):
        for c, b in enumerate(row):
            if b and 0 <= c + lsb < 6:
                out[r][c + lsb] = 1
    return out


def rows9(c10):
    # Capitals start in row 1; the top row holds only accents. Keep it (and drop the lowest
    # row) when the glyph needs it and has no descender, so that accents stay visible.
    if any(c10[0]) and not any(c10[9]):
        return c10[0:9]
    return c10[1:10]


def letter(rows):
    out = []
    for row in rows:
        w = row[:2] + [row[2], row[2]] + row[3:5] + [0, 0]
        out.append([1 if (w[i] or (i > 0 and w[i - 1])) else 0 for i in range(8)])
    return out


def stretched(rows):
    src = [0, 0, 1, 2, 3, 3, 4, 5]  # column of the 6-wide source for each of the 8 columns
    return [[row[s] for s in src] for row in rows]


# Where doubling strokes leaves a letter unreadable (the middle strokes of M, W, m, w merge
# into a block), the glyph is drawn here instead: 7 columns, rows 0..6, '#' ink.
OVERRIDES = {
    "M": ["##...##", "###.###", "#######", "##.#.##", "##...##", "##...##", "##...##"],
    "W": ["##...##", "##...##", "##...##", "##.#.##", "#######", "###.###", "##...##"],
    "m": [".......", ".......", "###.##.", "#######", "##.#.##", "##.#.##", "##...##"],
    "w": [".......", ".......", "##...##", "##...##", "##.#.##", "#######", ".##.##."],
    "&": [".###...", "##.##..", ".###...", ".###.##", "##.###.", "##..##.", ".###.##"],
    "$": ["..##...", ".#####.", "##.....", ".####..", "....##.", "#####..", "..##..."],
    "%": ["##...##", "##..##.", "...##..", "..##...", ".##....", "##..##.", "#...##."],
}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    enc, notice = load_pcf(sys.argv[1])
    if "public domain" not in notice.lower():
        sys.exit("the font is not marked public domain: " + notice)
    print("// Generated by tools/mkfont.py from the public-domain 6x10 misc-fixed font")
    print("// (\"%s\"). Do not edit; change the script instead." % notice.strip())
    print("// One glyph per line: 8 column words, left column first; bit j is row j from the top.")
    for code in range(256):
        if code in (0, 32, 255):
            ch = None
        elif code < 32:
            ch = CP437_LOW[code - 1]
        elif code == 127:
            ch = "\u2302"
        elif code > 127:
            ch = bytes([code]).decode("cp437")
        else:
            ch = chr(code)
        words = [0] * 8
        if ch in OVERRIDES:
            rows = [[1 if c == "#" else 0 for c in r + "."] for r in OVERRIDES[ch]]
            for j, row in enumerate(rows):
                for i in range(8):
                    if row[i]:
                        words[i] |= 1 << j
        elif ch is not None and ord(ch) in enc:
            rows = rows9(cell10(enc[ord(ch)]))
            rows = stretched(rows) if 0x2500 <= ord(ch) <= 0x259F else letter(rows)
            for j, row in enumerate(rows):
                for i in range(8):
                    if row[i]:
                        words[i] |= 1 << j
        name = "U+%04X" % ord(ch) if ch is not None else "empty"
        if ch is not None and 33 <= code <= 126:
            name = "'%s'" % ("\\\\" if ch == "\\" else ch)
        print("    {%s},  // %3d %s" % (", ".join("0x%02X" % w for w in words), code, name))


if __name__ == "__main__":
    main()
