#!/usr/bin/env bash
# Regenerates resources/omnitap.ico and its greyed twin omnitap-greyed.ico (the tray icon
# while the keys do nothing) from the drawing in resources/icon/omnitap_icon.py.
#
#   resources/make-icon.sh [PREVIEW_DIR]
#
# With PREVIEW_DIR, every image of the icon is also written there as an enlarged PNG
# (needs ImageMagick), to look at the pixels before committing the icon.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
python3 "$here/icon/omnitap_icon.py" "$here/omnitap.ico"
python3 "$here/icon/omnitap_icon.py" --greyed "$here/omnitap-greyed.ico"

# A second reader of the files: ImageMagick must see twelve images in each.
if command -v identify >/dev/null; then
    for ico in omnitap omnitap-greyed; do
        count=$(identify "$here/$ico.ico" | wc -l)
        [ "$count" -eq 12 ] || { echo "make-icon: ImageMagick reads $count images in $ico.ico, not 12" >&2; exit 1; }
    done
fi

if [ $# -ge 1 ]; then
    mkdir -p "$1"
    for i in $(seq 0 11); do
        convert "$here/omnitap.ico[$i]" -background '#d8d8d8' -flatten -filter point \
            -resize 800% "$1/omnitap-$i.png"
    done
    convert "$here/omnitap.ico[9]" "$here/omnitap.ico[10]" "$here/omnitap.ico[11]" \
        -background '#202020' -flatten -filter point -resize 800% "$1/omnitap-16-dark.png" 2>/dev/null || true
    echo "previews in $1"
fi
