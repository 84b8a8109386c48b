# Sourced by the scripts that run Windows programs: the project's own Wine prefix, quiet Wine,
# and a persistent wine server so that each program start costs milliseconds, not seconds.
zor_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${ZOR_WINEPREFIX:-$zor_top/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts in a new prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64

# Creates the prefix on first use (serialised with a lock, since CTest may start several
# programs at once) and makes sure a persistent server with its helper processes is running.
# The helpers are started with every standard stream closed so that they never hold the pipes
# of whoever called us (CTest waits for those pipes to close). The server stays up for a minute
# after its last program ends, so that a run that skips zor_wine_stop leaves nothing behind for
# long; a later program then simply starts a server of its own.
zor_wine_ready() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.zor-ready" ]; then
            rm -rf "$WINEPREFIX"
            wineboot -i </dev/null >/dev/null 2>&1 9>&-
            # The WMI service starts with the system, as on a real server.
            wine reg add 'HKLM\System\CurrentControlSet\Services\Winmgmt' /v Start /t REG_DWORD /d 2 /f \
                </dev/null >/dev/null 2>&1 9>&-
            wineserver -w
            touch "$WINEPREFIX/.zor-ready"
        fi
        if [ ! -f "$WINEPREFIX/.zor-server" ]; then
            wineserver -p60 </dev/null >/dev/null 2>&1 9>&- || true
            wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
            touch "$WINEPREFIX/.zor-server"
        fi
    ) 9>"$WINEPREFIX.lock"
}

zor_wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
    rm -f "$WINEPREFIX/.zor-server"
}
