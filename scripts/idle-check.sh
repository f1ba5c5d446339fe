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

source "$(dirname "$0")/omnitap-under-wine.sh"
start_omnitap "$exe" omnitap-idle "$(keys_ini 0:123:88)" || exit 1
pid=$omnitap_pid
# This prefix's server (named wineserver64 or wineserver32; other prefixes may have theirs).
server=$(for p in $(pgrep -x 'wineserver(32|64)?'); do
    tr '\0' '\n' < "/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
done | head -1) || true
[ -n "$server" ] || { echo "idle-check: no wineserver for $WINEPREFIX"; exit 1; }

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
