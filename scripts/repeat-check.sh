#!/usr/bin/env bash
# Under Wine (the caller provides the display and prefix, see wine-harness.sh exec): holds a
# learned volume key and watches, from Linux, how often omnitap's UI thread wakes up. While the
# key is held (and repeats) the 200 ms repeat timer wakes it; once the key stops repeating,
# released or not, it must be quiet again. Mute is toggled twice on the way, and the program
# must survive all.
#   repeat-check.sh BIN_FOLDER
set -euo pipefail
bin=$1
source "$(dirname "$0")/omnitap-under-wine.sh"
start_omnitap "$bin/omnitap.exe" omnitap-repeat "$(keys_ini 301:124:100 300:125:101 0:126:102)" || exit 1
pid=$omnitap_pid

# Voluntary context switches of the UI thread (the process's first): every wake-up counts one.
# The held key's repeats wake only the hook thread.
wakeups() { awk '/^voluntary_ctxt_switches/ {print $2}' /proc/"$pid"/task/"$pid"/status; }
over() { local a b; a=$(wakeups); sleep "$1"; b=$(wakeups); echo $((b - a)); }
send() { wine "$bin/send-keys.exe" "$@"; }

quiet=$(over 3)
send 124:100:hold6000 &            # volume up, held and repeating: no release
holding=$!
before=$(wakeups)                  # once send-keys has started, the timer ticks
for _ in $(seq 1 50); do [ "$(wakeups)" -gt $((before + 1)) ] && break; sleep 0.2; done
held=$(over 3)
wait "$holding"
sleep 2.5                          # it stopped repeating, its release never came; the indicator hid
stopped=$(over 3)
send 124:100:down                  # pressed again, held
send 125:101:down 125:101:up 125:101:down 125:101:up   # mute twice; its release ends the repeat
send 124:100:up
sleep 2.5 # the dropped-hook watch settles a second after the last key; the volume indicator
          # hides 1.5 s after the last change
after=$(over 3)
send 126:102:down 126:102:up
alive=yes; kill -0 "$pid" 2>/dev/null || alive=no

echo "UI thread wake-ups in 3 s: idle $quiet, volume key held $held, once it stopped repeating $stopped, after another key's release $after; still running: $alive"
status=0
[ "$held" -ge $((quiet + 10)) ] || { echo "repeat-check: the repeat timer did not run while the key was held"; status=1; }
[ "$stopped" -le $((quiet + 3)) ] || { echo "repeat-check: the repeat timer ran on after the key stopped repeating"; status=1; }
[ "$after" -le $((quiet + 3)) ] || { echo "repeat-check: the repeat timer kept running after the release"; status=1; }
[ "$alive" = yes ] || { echo "repeat-check: the program ended"; status=1; }
exit $status
