#!/usr/bin/env bash
# "/boot" really asks the system to restart, which ends every program of the Wine prefix it runs
# in. So it runs here, in a prefix of its own that no other test shares: the manager is installed
# there as an installer would, the tray monitor stand-in stands for a program of the session, and
# after "Korvane.exe /boot" the session must have ended (the monitor gone), the engine must have
# been told which area boots next, and the command must be in the engine log. It is given as
# "/copy /boot": "/boot" is looked for first, so it runs with "/boot" as its password argument (the
# password is off) and no copy starts.
#
#   tests/e2e/restart_test.sh BINDIR PREFIX
set -euo pipefail
source "$(dirname "$0")/../../tools/lib/common.sh"
bin="$1"
prefix="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"

rm -rf "$prefix"
krv_wine_env "$prefix"
source "$KRV_ROOT/tools/lib/install.sh"
krv_install_into_prefix "$bin"
engine="$KRV_INSTALL_UNIX/\$ENGINE"
mkdir -p "$engine"
printf 'areas=2\r\narea.1=0|0|1000|5000|Original Area\r\narea.2=1|5|0|5000|Rescue Area\r\n' >"$engine/state.txt"

fail() { krv_log "restart test: $*"; wineserver -k >/dev/null 2>&1 || true; exit 1; }

(cd "$KRV_INSTALL_UNIX" && wine KRVMonitor.exe >/dev/null 2>&1 </dev/null) &
monitor=$!
sleep 2
kill -0 "$monitor" 2>/dev/null || fail "the monitor did not start"

set +e
(cd "$KRV_INSTALL_UNIX" && timeout 120 wine Korvane.exe /copy /boot >/dev/null 2>&1 </dev/null)
code=$?
set -e
[ "$code" -eq 0 ] || fail "Korvane.exe /copy /boot ended with $code, not 0"
for _ in $(seq 1 100); do kill -0 "$monitor" 2>/dev/null || break; sleep 0.2; done
kill -0 "$monitor" 2>/dev/null && fail "the session did not end: the monitor still runs"
grep -q '^config.active=1' "$engine/state.txt" || fail "the engine was not told to boot area 1"
log="$KRV_INSTALL_UNIX/\$LOGS/KRV.log"
grep -q 'Korvane Commandline /boot$' <(tr -d '\r' <"$log") || fail "no log line for /boot"
grep -q 'Commandline /copy' "$log" && fail "the copy was carried out"
grep -q '^cmd.commandline=' "$engine/state.txt" && fail "the command tool was started"
wineserver -k >/dev/null 2>&1 || true
krv_log "restart test: the session ended after /boot, area 1 boots next"
