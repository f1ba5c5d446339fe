#!/usr/bin/env bash
# Under Wine (the caller provides the display and prefix, see wine-harness.sh exec): holds a
# learned volume key and watches, from Linux, how often omnitap's threads wake up. While the
# key is held the 200 ms repeat timer wakes the UI thread; after another learned key's release
# it must be quiet again. Mute is toggled twice on the way, and the program must survive all.
#   repeat-check.sh BIN_FOLDER
set -euo pipefail
bin=$1
source "$(dirname "$0")/omnitap-under-wine.sh"
start_omnitap "$bin/omnitap.exe" omnitap-repeat "$(keys_ini 301:124:100 300:125:101 0:126:102)" || exit 1
pid=$omnitap_pid

# Voluntary context switches of all the process's threads: every wake-up counts one.
wakeups() { cat /proc/"$pid"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ {s += $2} END {print s}'; }
over() { local a b; a=$(wakeups); sleep "$1"; b=$(wakeups); echo $((b - a)); }
send() { wine "$bin/send-keys.exe" "$@"; }

quiet=$(over 3)
send 124:100:down                  # volume up, held: no release yet
held=$(over 3)
send 125:101:down 125:101:up 125:101:down 125:101:up   # mute twice; its release ends the repeat
send 124:100:up
sleep 2 # the volume indicator hides 1.5 s after the last change
after=$(over 3)
send 126:102:down 126:102:up
alive=yes; kill -0 "$pid" 2>/dev/null || alive=no

echo "wake-ups in 3 s: idle $quiet, volume key held $held, after the release $after; still running: $alive"
status=0
[ "$held" -ge $((quiet + 10)) ] || { echo "repeat-check: the repeat timer did not run while the key was held"; status=1; }
[ "$after" -le $((quiet + 3)) ] || { echo "repeat-check: the repeat timer kept running after the release"; status=1; }
[ "$alive" = yes ] || { echo "repeat-check: the program ended"; status=1; }
exit $status
