# Shared by the desktop tests (sourced): a work folder, the checks and their count, an X server
# of their own with a window manager where wanted, waiting for the game, and at the end the
# cleanup of all the session started. The game keeps its best score in the work folder, never in
# the player's own.

work=$(mktemp -d)
export XDG_DATA_HOME=$work/data
# The machine running the tests may have no sound device: the game plays into SDL's silent one.
export SDL_AUDIODRIVER=dummy
passed=0
failed=0
xvfb_pid=
wm_pid=
game_pid=

end_session() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap end_session EXIT

# require_tools <tool…>: skips the test (exit 77) where one is not installed.
require_tools() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
    done
}

check() { # check <description> <command…>
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
    fi
}

# report: the counts, and the test's exit status.
report() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# start_x_server <folder>: starts Xvfb on a free display, screen 0 at 1024 x 768 and a smaller
# screen 1, and exports DISPLAY; sets xvfb_pid.
start_x_server() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -screen 1 640x480x24 -nolisten tcp -noreset \
        3>"$1/display" 2>"$1/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.05; done
    export DISPLAY=":$(head -n1 "$1/display")"
}

# wait_for_exit <pid> <hundredths of a second>: sets exit_status to the process's exit status,
# or to "timeout" if it is still running after that long. Not in a subshell: only this shell
# can wait for its children.
wait_for_exit() {
    exit_status=timeout
    for _ in $(seq "$2"); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1"
            exit_status=$?
            return
        fi
        sleep 0.01
    done
}

# start_window_manager <folder>: starts openbox on $DISPLAY and waits until it manages windows;
# sets wm_pid.
start_window_manager() {
    openbox --sm-disable >"$1/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return
        sleep 0.05
    done
}

# shot <name>: the client area of a window at the screen's corner, scale 1, as $work/<name>.png.
shot() { import -window root -crop 392x88+0+0 +repage "$work/$1.png"; }

# shows <shot> <x> <y> <picture>: the shot holds exactly that picture with its corner at (x, y).
shows() {
    convert "$work/$1.png" -crop "$(identify -format %wx%h "$4")+$2+$3" +repage "$work/part.png"
    [ "$(compare -metric AE "$work/part.png" "$4" null: 2>&1)" = 0 ]
}

# cell <shot> <index> <code>: the cell shows exactly the glyph picture of that code ($pictures).
cell() { shows "$1" $((8 + 32 * $2)) 40 "$(printf '%s/%03d.bmp' "$pictures" "$3")"; }
