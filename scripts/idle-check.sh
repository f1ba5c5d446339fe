#!/usr/bin/env bash
# Starts omnitap.exe under Wine (the caller provides the display and the prefix, see
# wine-harness.sh exec), leaves it alone for 30 seconds and measures, from Linux, the CPU time
# it and the wineserver used and how its resident memory changed. An idle Omnitap polls
# nothing and runs no timer: it must stay below the limits.
#   idle-check.sh OMNITAP.EXE [SECONDS]
set -euo pipefail
exe=$1
seconds=${2:-30}
cpu_limit_ms=300     # 1 % of one core over 30 s
memory_limit_kb=256

dir=$(mktemp -d)
trap 'kill "$wine_pid" 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$dir"' EXIT
cp "$exe" "$dir/omnitap-idle.exe"
printf '[keys]\r\nnumkeys=1\r\nkey1_name=F12\r\nkey1_mapm=0\r\nkey1_code=123\r\nkey1_code2=88\r\nkey1_webs=""\r\n\r\n' > "$dir/keys.ini"
(cd "$dir" && exec wine omnitap-idle.exe) &
wine_pid=$!

pid=""
for _ in $(seq 1 100); do
    pid=$(pgrep -f 'omnitap-idle\.exe' | while read -r p; do
        [ "$(readlink "/proc/$p/exe" 2>/dev/null)" != "$(command -v wine)" ] && echo "$p"; done | head -1)
    [ -n "$pid" ] && break
    sleep 0.2
done
[ -n "$pid" ] || { echo "idle-check: omnitap did not start"; exit 1; }
sleep 8 # start-up settles: the control window, the hook thread, the tray icon
server=$(pgrep -x wineserver | head -1 || true)

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
hz=$(getconf CLK_TCK)

cpu0=$(ticks "$pid"); mem0=$(rss "$pid"); srv0=$([ -n "$server" ] && ticks "$server" || echo 0)
sleep "$seconds"
cpu1=$(ticks "$pid"); mem1=$(rss "$pid"); srv1=$([ -n "$server" ] && ticks "$server" || echo 0)

cpu_ms=$(( (cpu1 - cpu0) * 1000 / hz ))
srv_ms=$(( (srv1 - srv0) * 1000 / hz ))
grew_kb=$(( mem1 - mem0 ))
echo "idle ${seconds} s: omnitap used ${cpu_ms} ms of CPU, the wineserver ${srv_ms} ms; resident memory ${mem0} kB -> ${mem1} kB"
status=0
[ "$cpu_ms" -le "$cpu_limit_ms" ] || { echo "idle-check: too much CPU while idle"; status=1; }
[ "$srv_ms" -le "$cpu_limit_ms" ] || { echo "idle-check: the program keeps the wineserver busy"; status=1; }
[ "$grew_kb" -le "$memory_limit_kb" ] || { echo "idle-check: memory grew while idle"; status=1; }
exit $status
