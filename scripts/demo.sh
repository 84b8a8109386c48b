#!/usr/bin/env bash
# The main job: builds the demonstration package with the package builder and installs it
# silently under Wine in a fresh prefix, then shows what an administrator would check.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export ZOR_WINEPREFIX="$top/build/wineprefix-demo"
source "$top/scripts/wine-env.sh"
zor_wine_stop
rm -rf "$WINEPREFIX"
trap 'zor_wine_stop; wineserver -w >/dev/null 2>&1 || true' EXIT
zor_wine_ready

out="$top/build/demo"
stage="$out/package"
rm -rf "$out"
mkdir -p "$stage"
cp -r "$top/examples/demo-package/." "$stage/"
cp "$top/build/win64/bin/vazuvuda.exe" "$stage/"

section() { printf '\n==== %s ====\n' "$1"; }

section "Building the package"
"$top/build/host/bin/zorpack" -o "$out/demo.exe" --stub "$top/build/win64/bin/zorstub.exe" "$stage" || exit 1
"$top/build/host/bin/zorpack" --list "$out/demo.exe"

section "Installing: demo.exe /s /verbose_log"
wine "$out/demo.exe" /s /verbose_log </dev/null >/dev/null 2>&1
rc=$?
echo "exit code: $rc (1 = installed, 2 = installed, restart needed, 0 = failed)"

drive_c="$WINEPREFIX/drive_c"
section "Normal log C:\\ridezezer\\log\\vazuvuda.log"
tr -d '\r' < "$drive_c/ridezezer/log/vazuvuda.log" 2>/dev/null || echo "(no log)"

section "Registry record"
wine reg query 'HKLM\Software\Arvex-Tellam\Version Control\ArvexRevisionManagement' /s </dev/null 2>/dev/null | tr -d '\r'

section "Copied definition C:\\RIDEZEZER\\vxxml"
# Windows paths ignore case; the host folder has whichever spelling was created first.
vxxml=$(find "$drive_c" -maxdepth 2 -type d -iname vxxml | head -n 1)
if [ -n "$vxxml" ]; then ls -l "$vxxml"; else echo "(none)"; fi

section "Installed files C:\\Program Files\\Arvex\\Demo"
(cd "$drive_c/Program Files/Arvex/Demo" 2>/dev/null && find . -type f | sort) || echo "(none)"

section "Extraction folders left in the temporary folder"
find "$drive_c/users" -maxdepth 5 -type d -name '{*}' 2>/dev/null | head || true
[ "$rc" = 1 ] || [ "$rc" = 2 ]
