# Sourced by the scripts that watch Omnitap from Linux (the caller provides the display and
# the Wine prefix, see wine-harness.sh exec).
#
#   start_omnitap OMNITAP.EXE NAME KEYS_INI_TEXT
# copies the program into a fresh folder as NAME.exe with that keys.ini, starts it, and sets
# `omnitap_pid` to the Linux process that runs it (and `omnitap_dir`). Everything is ended
# and removed when the calling script exits.

start_omnitap() {
    local exe=$1 name=$2 keys=$3
    omnitap_dir=$(mktemp -d)
    trap 'kill "$omnitap_wine_pid" 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$omnitap_dir"' EXIT
    cp "$exe" "$omnitap_dir/$name.exe"
    printf '%s' "$keys" > "$omnitap_dir/keys.ini"
    (cd "$omnitap_dir" && exec wine "$name.exe") &
    omnitap_wine_pid=$!
    omnitap_pid=""
    for _ in $(seq 1 100); do
        # The Windows process, which Wine names by its Windows path or by the name it was
        # started with; not the launcher, whose first word is wine (with the 32-bit Wine
        # installed, a 32-bit process that starts a 64-bit program as a new process and ends).
        # Only in this Wine prefix: another run on the machine may use the same name.
        omnitap_pid=$(pgrep -f "$name\\.exe" | while read -r p; do
            tr '\0' '\n' < "/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" ||
                continue
            case "$(tr '\0' '\n' < "/proc/$p/cmdline" 2>/dev/null | head -1)" in
            "$name.exe" | *\\"$name.exe") echo "$p" ;;
            esac; done | head -1)
        [ -n "$omnitap_pid" ] && break
        sleep 0.2
    done
    [ -n "$omnitap_pid" ] || { echo "$name did not start"; return 1; }
    sleep 8 # start-up settles: the control window, the hook thread, the tray icon
    kill -0 "$omnitap_pid" 2>/dev/null || { echo "$name ended at start-up"; return 1; }
}

# keys.ini text with one key per argument "ACTION:CODE:SCANCODE".
keys_ini() {
    printf '[keys]\r\nnumkeys=%d\r\n' $#
    local n=0 action code scan
    for k in "$@"; do
        n=$((n + 1))
        IFS=: read -r action code scan <<< "$k"
        printf 'key%d_name=k%d\r\nkey%d_mapm=%d\r\nkey%d_code=%d\r\nkey%d_code2=%d\r\nkey%d_webs=""\r\n\r\n' \
            "$n" "$n" "$n" "$action" "$n" "$code" "$n" "$scan" "$n"
    done
}
