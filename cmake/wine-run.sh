#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix:
#   wine-run.sh WINE64 PREFIX PROGRAM [ARGUMENTS...]
# The Wine server and the system processes it starts inherit the output pipes of the program
# that brought them up, and would hold them open after that program ends, so the caller (ctest,
# the build) would wait for them. So when no server is running, a detached one is started
# (it stays for 10 s after its last client) and its system processes are brought up by a
# wineboot with its output sent nowhere; only then the program runs.
wine64=$1
export WINEPREFIX="$2"
shift 2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if "$(dirname "$wine64")/wineserver" -p10 </dev/null >/dev/null 2>&1; then
	"$wine64" wineboot </dev/null >/dev/null 2>&1
fi
exec "$wine64" "$@"
