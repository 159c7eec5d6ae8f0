#!/usr/bin/env bash
# Makes tensovia.ico, the Windows icon of the program, from the scalable icon of the desktop
# entry: every size Windows asks of an application icon, the small ones as bitmaps for the shell
# of old systems, 256 px as PNG. Run it again when org.tensovia.tensovia.svg changes and commit
# the result; the build only reads the .ico.
set -euo pipefail
cd "$(dirname "$0")"

../../scripts/ensure-packages.sh librsvg2-bin icoutils

pngs=$(mktemp -d)
trap 'rm -rf "$pngs"' EXIT
for size in 16 20 24 32 40 48 64 256; do
    rsvg-convert --width "$size" --height "$size" --output "$pngs/$size.png" \
        ../org.tensovia.tensovia.svg
done
icotool --create --output tensovia.ico --raw="$pngs/256.png" \
    "$pngs"/{16,20,24,32,40,48,64}.png
