#!/usr/bin/env bash
# Builds Omnitap for Windows and starts it under Wine from build/run/ (keys.ini lives there).
# Without a display it starts Xvfb and says how to look at the screen.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target omnitap player-sim

run=$PWD/build/run
mkdir -p "$run"
cp build/mingw/bin/omnitap.exe "$run/omnitap.exe"
[ -f build/mingw/bin/player-sim.exe ] && cp build/mingw/bin/player-sim.exe "$run/"

export WINEPREFIX=$run/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
source scripts/wine-loader.sh
wine_runs_32bit || wine_use_64bit_loader "$run"
if ! grep -q '^ *[0-9]' /proc/asound/cards 2>/dev/null; then
    # No sound card: a null ALSA device gives Wine a mixer (and keeps ALSA quiet).
    export HOME=$run/home
    mkdir -p "$HOME"
    printf 'pcm.!default { type null }\n' > "$HOME/.asoundrc"
fi
if [ -z "${DISPLAY:-}" ]; then
    fifo=$(mktemp -u); mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    xvfb=$!
    read -r -t 20 display < "$fifo"; rm -f "$fifo"
    export DISPLAY=":$display"
    trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
    echo "No display: Omnitap runs on the virtual display $DISPLAY."
    echo "Look at it with:  import -display $DISPLAY -window root omnitap.png"
fi
# (Without 32-bit support wineboot reports the prefix's 32-bit part as failed; the rest works.)
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1 || true
echo "Starting $run/omnitap.exe (keys.ini in $run). Quit from the tray menu or press Ctrl+C."
cd "$run"
wine omnitap.exe
