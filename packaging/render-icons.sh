#!/usr/bin/env bash
# Renders the program's icon (src/forms/icons/zorim.svg, the one the window shows) into the PNG sizes a desktop looks for. The PNGs are
# kept in the tree so that a build needs no SVG renderer; run this after changing the SVG
# (needs rsvg-convert, Debian librsvg2-bin).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$here/../src/forms/icons/zorim.svg" -o "$here/icons/zorim-$size.png"
done
