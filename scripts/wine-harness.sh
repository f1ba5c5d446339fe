#!/usr/bin/env bash
# Runs Windows-side test programs under Wine on a private X server.
#
#   wine-harness.sh create-prefix DIR    a fresh, throw-away Wine prefix (once per test run);
#                                        64-bit, or 32-bit with WINEARCH=win32 set
#   wine-harness.sh remove-prefix DIR    ends its wineserver and deletes it
#   wine-harness.sh run DIR PROGRAM.exe [ARGS...]
#                                        Xvfb on a free display + PROGRAM under that prefix;
#                                        everything it started is ended afterwards
#   wine-harness.sh exec DIR COMMAND...  like run, for any command (a script that starts
#                                        Windows programs itself)
#   wine-harness.sh all DIR BIN          every *_test.exe in BIN, each as with run
set -u

export WINEDEBUG=${WINEDEBUG:--all}
# Wine prefers its own DLLs to any beside a program; winmm and comctl32, which are not known
# DLLs, get Windows' search order, so that a test can plant them beside the program under test.
export WINEDLLOVERRIDES="mscoree,mshtml=;winmm,comctl32=n,b"
export WINEARCH=${WINEARCH:-win64}

die() { echo "wine-harness: $*" >&2; exit 2; }
source "$(dirname "$0")/wine-loader.sh"
# What a run exits with when it cannot run here: CTest counts the test as skipped.
SKIPPED=77

wine_env() {
    export WINEPREFIX=$1
    # An existing prefix keeps the architecture it was made with.
    local arch
    arch=$(sed -n 's/^#arch=//p' "$1/system.reg" 2>/dev/null)
    [ -n "$arch" ] && export WINEARCH=$arch
    # Wine's sound driver needs an ALSA device to offer a mixer: a null sink will do.
    export HOME="$1/home"
    mkdir -p "$HOME"
    printf 'pcm.!default { type null }\n' > "$HOME/.asoundrc"
    NO_32BIT=""
    if ! wine_runs_32bit; then
        NO_32BIT=1
        wine_use_64bit_loader "$1"
    fi
}

# A 32-bit prefix on a machine that runs no 32-bit programs: said, and skipped.
skip_if_32bit_cannot_run() {
    if [ -n "$NO_32BIT" ] && [ "$WINEARCH" = win32 ]; then
        echo "wine-harness: skipped: this machine's kernel runs no 32-bit programs"
        exit $SKIPPED
    fi
}

start_xvfb() {
    local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
    # -terminate: should this script be killed, Xvfb ends with its last client. The delay
    # lets it outlive a short first client: winemenubuilder, which Wine starts with each
    # session, may connect and leave before the desktop connects.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -terminate 10 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local display
    if ! read -r -t 20 display < "$fifo"; then rm -f "$fifo"; die "Xvfb did not start"; fi
    rm -f "$fifo"
    export DISPLAY=":$display"
}

cleanup() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    return 0
}

cmd=${1:-}; shift || true
case "$cmd" in
create-prefix)
    [ $# -eq 1 ] || die "usage: create-prefix DIR"
    rm -rf "$1"; mkdir -p "$1"
    wine_env "$1"
    if [ -n "$NO_32BIT" ] && [ "$WINEARCH" = win32 ]; then
        printf '#arch=win32\n' > "$1/system.reg" # for the runs, which are skipped
        echo "No 32-bit Wine prefix in $1: this machine's kernel runs no 32-bit programs"
        exit 0
    fi
    trap cleanup EXIT
    start_xvfb
    # Without 32-bit support the prefix's 32-bit part cannot be set up, and wineboot says so;
    # the 64-bit part, all such a machine can run, is ready all the same.
    wineboot -i >/dev/null 2>&1 || [ -n "$NO_32BIT" ] || die "wineboot failed"
    wineserver -w
    [ -f "$1/system.reg" ] || die "wineboot made no prefix"
    echo "Wine prefix ready in $1"
    ;;
remove-prefix)
    [ $# -eq 1 ] || die "usage: remove-prefix DIR"
    WINEPREFIX=$1 wineserver -k >/dev/null 2>&1
    rm -rf "$1"
    ;;
run)
    [ $# -ge 2 ] || die "usage: run DIR PROGRAM.exe [ARGS...]"
    prefix=$1; program=$2; shift 2
    [ -d "$prefix" ] || die "no prefix at $prefix (create-prefix first)"
    [ -f "$program" ] || die "no program at $program (build the mingw preset first)"
    wine_env "$prefix"
    skip_if_32bit_cannot_run
    trap cleanup EXIT
    start_xvfb
    wine "$program" "$@"
    status=$?
    exit $status
    ;;
exec)
    [ $# -ge 2 ] || die "usage: exec DIR COMMAND..."
    prefix=$1; shift
    [ -d "$prefix" ] || die "no prefix at $prefix (create-prefix first)"
    wine_env "$prefix"
    skip_if_32bit_cannot_run
    trap cleanup EXIT
    start_xvfb
    "$@"
    exit $?
    ;;
all)
    [ $# -eq 2 ] || die "usage: all DIR BIN"
    "$0" create-prefix "$1" || exit 2
    failed=0
    for t in "$2"/*_test.exe; do
        echo "=== $(basename "$t")"
        "$0" run "$1" "$t"
        rc=$?
        [ $rc -eq 0 ] || [ $rc -eq $SKIPPED ] || failed=1
    done
    "$0" remove-prefix "$1"
    exit $failed
    ;;
*)
    sed -n '2,14p' "$0"; exit 2 ;;
esac
