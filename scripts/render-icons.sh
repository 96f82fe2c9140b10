#!/usr/bin/env bash
# Renders the SVG icons of resources/icons into the PNG sizes the program loads (Qt
# draws PNG without its SVG plug-in), and the tool-bar sizes as raw pixels too
# (raw-icons.py). Needs rsvg-convert (librsvg2-bin) and python3.
# The application icon's PNGs carry the text "X-Scrivle-Integration", the mark by which
# the desktop integration knows its own files when removing them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../resources/icons"
mark() {
  python3 - "$1" <<'PY'
import struct, sys, zlib
path = sys.argv[1]
data = open(path, 'rb').read()
body = b'Comment\0X-Scrivle-Integration: Scrivle application icon'
chunk = struct.pack('>I', len(body)) + b'tEXt' + body
chunk += struct.pack('>I', zlib.crc32(b'tEXt' + body) & 0xffffffff)
iend = data.rindex(b'IEND') - 4
open(path, 'wb').write(data[:iend] + chunk + data[iend:])
PY
}
for s in 16 24; do
  rsvg-convert -w $s -h $s scrivle-small.svg -o scrivle-$s.png && mark scrivle-$s.png
done
for s in 32 48 64 128 256; do
  rsvg-convert -w $s -h $s scrivle.svg -o scrivle-$s.png && mark scrivle-$s.png
done
for svg in actions/*.svg; do
  for s in 16 24 32 48; do
    rsvg-convert -w $s -h $s "$svg" -o "${svg%.svg}-$s.png"
  done
done
# The 16 and 24 pixel sizes also as raw pixels, drawn without decoding at start-up.
python3 "$here/raw-icons.py"
