# Sourced by the scripts that run the program under Wine: a Wine prefix of the build's
# own, a virtual X display, and a persistent, warmed wineserver.
#   wine_env_up BUILD_DIR    starts everything and exports WINEPREFIX, DISPLAY, ...
#   wine_env_down            stops the wineserver, the display and the fault servers (also on exit)
#   fault_server_up LOG ARGS...
#                            starts tests/servers/fault_server.py ARGS with its output in LOG
#                            and returns once it listens (1 if it never does); sets
#                            FAULT_SERVER_PORT and FAULT_SERVER_PID
#   package_query PATH RATE FILE
#                            the fault server's configuration that serves FILE at PATH,
#                            paced at RATE bytes a second

WINE_ENV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

wine_env_up() {
    local build=$1
    export WINEPREFIX="$build/wineprefix"
    export WINEDEBUG=-all
    # No Mono/Gecko install dialogs (they cannot be answered here); no debugger on crashes.
    export WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe=d"
    export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
    export INSTALLER_BUILD_DIR="$build"

    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
    trap wine_env_down EXIT

    if [ ! -f "$WINEPREFIX/.installer-prefix-ready" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        # The UI's Chinese fonts are drawn with the CJK font of the machine.
        local font
        for font in "宋体" "新宋体" "微软雅黑"; do
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ \
                /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
        done
        wineserver -w
        touch "$WINEPREFIX/.installer-prefix-ready"
    fi
    wineserver -p
    wine cmd /c exit >/dev/null 2>&1 || true
}

fault_server_up() {
    local log=$1
    shift
    python3 "$WINE_ENV_ROOT/tests/servers/fault_server.py" "$@" >"$log" 2>&1 &
    FAULT_SERVER_PID=$!
    WINE_ENV_SERVER_PIDS="${WINE_ENV_SERVER_PIDS:-} $FAULT_SERVER_PID"
    local i
    for i in $(seq 1 100); do
        FAULT_SERVER_PORT=$(sed -n 's/^port //p' "$log" 2>/dev/null) || true
        [ -n "$FAULT_SERVER_PORT" ] && return 0
        sleep 0.1
    done
    echo "the fault server did not start (see $log)" >&2
    return 1
}

package_query() {
    printf 'path=%s&rate=%s&file=%s' "$1" "$2" \
        "$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$3")"
}

wine_env_down() {
    trap - EXIT
    local pid
    for pid in ${WINE_ENV_SERVER_PIDS:-}; do
        kill "$pid" >/dev/null 2>&1 || true
        wait "$pid" 2>/dev/null || true
    done
    WINE_ENV_SERVER_PIDS=
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
        kill "$WINE_ENV_XVFB_PID" >/dev/null 2>&1 || true
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
        WINE_ENV_XVFB_PID=
    fi
}
