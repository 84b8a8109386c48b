#!/usr/bin/env bash
# Runs every suite: host tests natively, Windows tests under Wine in a fresh prefix, all under a
# virtual X display because the user-interface tests need one. Extra arguments go to the
# Windows CTest run (for example -R ZipFile). ZOR_WIN64_DIR / ZOR_HOST_DIR pick other build
# folders; ZOR_SKIP_HOST / ZOR_SKIP_WIN skip a side; ZOR_KEEP_PREFIX reuses the Wine prefix. Leaves no process behind, also on failure.
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
host_dir="${ZOR_HOST_DIR:-$top/build/host}"
win_dir="${ZOR_WIN64_DIR:-$top/build/win64}"
if [ -z "${ZOR_SKIP_HOST:-}" ] && [ -d "$host_dir" ]; then
    ctest --test-dir "$host_dir" --output-on-failure || status=1
fi
if [ -z "${ZOR_SKIP_WIN:-}" ]; then
    ctest --test-dir "$win_dir" --output-on-failure "$@" || status=1
fi
exit $status
