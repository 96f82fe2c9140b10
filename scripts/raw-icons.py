#!/usr/bin/env python3
"""Writes, beside each tool-bar icon PNG of 16 and 24 pixels and each PNG of the
program's own icon up to 64 pixels, the same picture as raw premultiplied ARGB32 pixels
(.argb, the bytes of QImage::Format_ARGB32_Premultiplied on a little-endian machine):
the program draws those without decoding a PNG at start-up.
Run by scripts/render-icons.sh after the PNGs are made; standard library only."""
import glob
import os
import struct
import sys
import zlib


def decode_png(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        sys.exit(f'{path}: not a PNG')
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 6 or interlace != 0:
        sys.exit(f'{path}: only 8-bit RGBA, not interlaced, is read')
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up = previous[i]
            corner = previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + pred) & 0xFF
        rows.append(line)
        previous = line
    return width, height, rows


def premultiply(c, a):
    v = c * a  # as Qt rounds it (qPremultiply)
    return (v + (v >> 8) + 0x80) >> 8


def main():
    icons = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'icons')
    actions = os.path.join(icons, 'actions')
    pngs = glob.glob(os.path.join(actions, '*-16.png')) + glob.glob(os.path.join(actions, '*-24.png'))
    # The program's own icon in every size the window system is given at start-up.
    pngs += [os.path.join(icons, f'scrivle-{s}.png') for s in (16, 24, 32, 48, 64)]
    for png in sorted(pngs):
        width, height, rows = decode_png(png)
        out = bytearray()
        for row in rows:
            for x in range(width):
                r, g, b, a = row[4 * x:4 * x + 4]
                out += bytes((premultiply(b, a), premultiply(g, a), premultiply(r, a), a))
        open(png[:-4] + '.argb', 'wb').write(out)


if __name__ == '__main__':
    main()
