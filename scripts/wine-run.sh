#!/usr/bin/env bash
# CTest's emulator for Windows programs: runs the program under Wine in the project prefix.
source "$(dirname "$0")/wine-env.sh"
zor_wine_ready
exec wine "$@"
