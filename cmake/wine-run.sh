#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix:
#   wine-run.sh WINE64 PREFIX PROGRAM [ARGUMENTS...]
# The Wine server and the system processes it starts inherit the output pipes of the program
# that brought them up, and would hold them open after that program ends, so the caller (ctest,
# the build) would wait for them. So when no server is running, a detached one is started
# (it stays for 10 s after its last client) and its system processes are brought up by a
# wineboot with its output sent nowhere; only then the program runs. A server left from a run
# on another X display (one xvfb-run after another) cannot open windows: it is stopped first.
# The lock keeps programs started together from doing this twice; the server and the system
# processes must not inherit it.
wine64=$1
export WINEPREFIX="$2"
shift 2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver="$(dirname "$wine64")/wineserver"
mkdir -p "$WINEPREFIX"
started_on="$WINEPREFIX/.kt3-server-display"
(
	flock 9
	if [ "$(cat "$started_on" 2>/dev/null)" != "${DISPLAY-}" ]; then
		"$wineserver" -k >/dev/null 2>&1 9>&-
		"$wineserver" -w >/dev/null 2>&1 9>&-
	fi
	if "$wineserver" -p10 </dev/null >/dev/null 2>&1 9>&-; then
		"$wine64" wineboot </dev/null >/dev/null 2>&1 9>&-
		printf '%s' "${DISPLAY-}" >"$started_on"
	fi
) 9>"$WINEPREFIX/.kt3-server-lock"
exec "$wine64" "$@"
