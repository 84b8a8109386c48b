#!/usr/bin/env bash
# Runs every suite: host tests natively, Windows tests under Wine in a fresh prefix, all under a
# virtual X display because the user-interface tests need one. Extra arguments go to the
# Windows CTest run (for example -R ZipFile). Leaves no process behind, also on failure.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${ZOR_IN_XVFB:-}" ]; then
    export ZOR_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
export ZOR_WINEPREFIX="${ZOR_WINEPREFIX:-$top/build/wineprefix-test}"
source "$top/scripts/wine-env.sh"
zor_wine_stop
if [ -z "${ZOR_KEEP_PREFIX:-}" ]; then rm -rf "$WINEPREFIX"; fi
trap 'zor_wine_stop; wineserver -w >/dev/null 2>&1 || true' EXIT
zor_wine_ready

status=0
if [ -z "${ZOR_SKIP_HOST:-}" ] && [ -d "$top/build/host" ]; then
    ctest --test-dir "$top/build/host" --output-on-failure || status=1
fi
ctest --test-dir "$top/build/win64" --output-on-failure "$@" || status=1
exit $status
