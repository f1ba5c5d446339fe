# Sourced by the scripts that start Wine. /usr/bin/wine prefers Wine's 32-bit loader whenever
# wine32 is installed, and starts 64-bit programs through it; a kernel built or booted without
# 32-bit support refuses to run that loader at all. There the 64-bit loader is used directly
# (it runs 64-bit programs, which is all such a machine can run).
#
#   wine_runs_32bit          true when this machine can run Wine's 32-bit loader
#   wine_use_64bit_loader D  points `wine` (and `wine-stable`, which the Wine tools call) at
#                            the 64-bit loader, through small scripts in D/bin

wine_runs_32bit() {
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

wine_use_64bit_loader() {
    local bin=$1/bin name
    mkdir -p "$bin"
    for name in wine wine-stable; do
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$bin/$name"
        chmod +x "$bin/$name"
    done
    export PATH="$bin:$PATH" WINELOADER=/usr/lib/wine/wine64
}
