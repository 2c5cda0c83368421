#!/usr/bin/env bash
# The window as a player meets it on a desktop with a window manager (openbox on Xvfb): the frame
# at the screen's corner, the functions offered, closing through the window manager, the
# termination signals, the presentation scale, the picture-folder search, the command line, and
# no display at all.
#
# usage: window_manager_test.sh <kestrilon>
set -uo pipefail
. "$(dirname "$0")/x_session.sh"

game=$(realpath "$1")

require_tools Xvfb xdotool xwininfo xprop xrdb wmctrl openbox import compare

start_x_server "$work"
start_window_manager "$work"

# launch [arguments…]: starts the game from an empty folder, with the termination signals at
# their defaults (a background job of a script starts with SIGINT ignored), and waits until its
# window is placed and the title drawn; sets game_pid and window.
launch() {
    (cd "$work/empty" && exec env --default-signal=INT,TERM,HUP "$game" "$@") 2>"$work/game.log" &
    game_pid=$!
    window=$(timeout 10 xdotool search --sync --onlyvisible --class PROMPT 2>/dev/null | head -n1)
    for _ in $(seq 100); do
        [ "$(xdotool getwindowname "$window" 2>/dev/null)" = Kestrilon ] && break
        sleep 0.05
    done
    sleep 1
}

# ends_with <signal> <exit code>: the signal ends the game within a second with that exit code.
ends_with() {
    kill -s "$1" "$game_pid"
    wait_for_exit "$game_pid" 100
        [ "$exit_status" = "$2" ]
}

geometry() { xwininfo -id "$window" | sed -n "s/^ *$1: *//p"; }

# shot <name>: the client area as the screen shows it.
shot() {
    import -window root -crop "$(geometry Width)x$(geometry Height)+$(geometry 'Absolute upper-left X')+$(geometry 'Absolute upper-left Y')" +repage "$work/$1.png"
}

mkdir -p "$work/empty/bmp" # a bmp folder without glyph pictures: the game looks on

launch
extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //') # left, right, top, bottom
left=${extents%%,*}
top=$(echo "$extents" | cut -d, -f3 | tr -d ' ')
check "the frame's corner is the screen's corner (client at $(geometry 'Absolute upper-left X'),$(geometry 'Absolute upper-left Y'), frame $extents)" \
    test "$(geometry 'Absolute upper-left X'),$(geometry 'Absolute upper-left Y')" = "$left,$top"
check "the frame has a caption above the client" test "$top" -gt 0
check "the client area is 392 x 88" test "$(geometry Width)x$(geometry Height)" = 392x88
actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
check "the window can be moved and closed: $actions" \
    test -n "$(grep ACTION_MOVE <<<"$actions" | grep ACTION_CLOSE)"
check "the window cannot be maximised or resized: $actions" \
    test -z "$(grep -o 'ACTION_MAXIMIZE[A-Z_]*\|ACTION_RESIZE' <<<"$actions")"
check "the window asks for move and close only, with border, title and menu" \
    grep -q '= 0x3, 0x24, 0x1a, 0x0, 0x0' <<<"$(xprop -id "$window" _MOTIF_WM_HINTS)"
check "an empty bmp folder in the current directory does not hide the pictures beside the game" \
    test ! -s "$work/game.log"
import -window root -crop 420x130+0+0 +repage "$work/frame.png"
[ -n "${KESTRILON_KEEP_SCREENSHOTS:-}" ] && cp "$work/frame.png" "$KESTRILON_KEEP_SCREENSHOTS/"
shot scale1
wmctrl -c Kestrilon
wait_for_exit "$game_pid" 100
check "closing through the window manager ends the game with exit code 0 (got $exit_status)" \
    test "$exit_status" = 0

launch
check "SIGTERM at the title ends the game at once with 143" ends_with TERM 143
launch
xdotool windowfocus --sync "$window" key Return
sleep 0.5
check "SIGINT in play ends the game at once with 130" ends_with INT 130
launch
xdotool windowfocus --sync "$window" key Return
xdotool key --delay 40 z z z z z z z z z z z z z z z z z z z z z z z z z z z z z z
check "SIGHUP in a banner ends the game at once with 129" ends_with HUP 129
(cd "$work/empty" && exec env --default-signal=TERM "$game") 2>/dev/null &
game_pid=$!
sleep 0.05
check "SIGTERM during start-up ends the game at once with 143" ends_with TERM 143

launch --scale 2
check "--scale 2 gives a 784 x 176 client" test "$(geometry Width)x$(geometry Height)" = 784x176
shot scale2
convert "$work/scale1.png" -sample 200% "$work/doubled.png"
check "--scale 2 shows the scale-1 picture doubled pixel for pixel" \
    test "$(compare -metric AE "$work/doubled.png" "$work/scale2.png" null: 2>&1)" = 0
ends_with TERM 143

echo 'Xft.dpi: 192' | xrdb -merge
launch
check "Xft.dpi 192 gives scale 2 on its own" test "$(geometry Width)x$(geometry Height)" = 784x176
ends_with TERM 143
KESTRILON_SCALE=1 launch
check "KESTRILON_SCALE=1 wins over the desktop's scale" test "$(geometry Width)x$(geometry Height)" = 392x88
ends_with TERM 143
KESTRILON_SCALE=4 launch
check "KESTRILON_SCALE=4 is lowered to fit the screen, and one line says so" \
    test "$(geometry Width)x$(geometry Height)" = 784x176 -a "$(grep -c 'scale 4 does not fit' "$work/game.log")" = 1
ends_with TERM 143
DISPLAY=$DISPLAY.1 launch --scale 2
check "DISPLAY naming screen 1 opens the window there, fitted to its 640 x 480" \
    test "$(xdotool search --screen 1 --class PROMPT | head -n1)" = "$window" -a "$(geometry Width)x$(geometry Height)" = 392x88
ends_with TERM 143
xrdb -remove

"$game" --help >"$work/help" 2>&1
check "--help prints the usage and the keys, exit 0" \
    test $? = 0 -a -n "$(grep -l 'Usage: kestrilon' "$work/help")" -a -n "$(grep -l 'fire' "$work/help")"
version=$("$game" --version)
check "--version prints the version, exit 0 (got $version)" \
    test $? = 0 -a -n "$(grep -E '^kestrilon [0-9]+\.[0-9]+' <<<"$version")"
"$game" --fly >/dev/null 2>"$work/usage"
status=$?
check "an unknown option gives the usage on stderr and exit 2" \
    test "$status" = 2 -a -n "$(grep -l 'unknown option: --fly' "$work/usage")"

(unset DISPLAY WAYLAND_DISPLAY; timeout 5 "$game") 2>"$work/nodisplay.log"
status=$?
check "with no display the game exits 1 (got $status)" test "$status" = 1
check "with no display one line says so: $(cat "$work/nodisplay.log")" \
    test "$(wc -l <"$work/nodisplay.log")" = 1 -a -n "$(grep -l '^kestrilon: no display: set DISPLAY' "$work/nodisplay.log")"

report
