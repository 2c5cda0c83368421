#!/usr/bin/env bash
# The desktop game as a player meets it: a real window on an X server (Xvfb), keys typed with
# xdotool, the screen read back and compared with the glyph pictures, the close box used.
#
# usage: desktop_test.sh <kestrilon> <close-window helper>
set -uo pipefail
. "$(dirname "$0")/x_session.sh"

game=$(realpath "$1")
closer=$(realpath "$2")
pictures=$(cd "$(dirname "$game")" && pwd)/bmp

require_tools Xvfb xdotool xwininfo import compare

start_x_server "$work"

# Started from a folder without pictures: the game finds the ones beside it.
(cd "$work" && exec "$game") 2>"$work/game.log" &
game_pid=$!

window=$(timeout 10 xdotool search --sync --class PROMPT 2>/dev/null | head -n1)
[ -n "$window" ] || { echo "FAILED: no window of class PROMPT appeared"; cat "$work/game.log"; exit 1; }

for _ in $(seq 100); do
    [ "$(xdotool getwindowname "$window")" = Kestrilon ] && break
    sleep 0.05
done
check 'the caption reads "Kestrilon"' test "$(xdotool getwindowname "$window")" = Kestrilon

sleep 1 # the glyphs load and the title is drawn
geometry=$(xwininfo -id "$window")
field() { echo "$geometry" | sed -n "s/^ *$1: *//p"; }
check "the client area is 392 x 88" test "$(field Width)x$(field Height)" = 392x88
check "the window sits at the top-left corner" test "$(field 'Absolute upper-left X'),$(field 'Absolute upper-left Y')" = 0,0

shot title
title="PUSH ENTER"
for i in $(seq 0 9); do
    code=$(printf '%d' "'${title:$i:1}")
    check "title cell $i shows glyph $code" cell title "$i" "$code"
done
check "title cell 10 is blank" cell title 10 32
check "title cell 11 is blank" cell title 11 32

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key Return
sleep 0.3
shot play
check 'after Return cell 0 shows "0"' cell play 0 48
check 'after Return cell 1 shows "*"' cell play 1 42
xdotool key x
sleep 0.3
shot aimed
check 'after X cell 0 shows "1"' cell aimed 0 49
check 'after X cell 1 still shows "*"' cell aimed 1 42

# Resized from outside (nothing here stops it): the window asks for its size back, and its
# memory does not grow with the size it was given.
peak() { awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status"; }
before=$(peak)
for _ in 1 2 3; do xdotool windowsize "$window" 10000 10000; sleep 0.2; done
sleep 1.5
geometry=$(xwininfo -id "$window")
check "a foreign resize is undone" test "$(field Width)x$(field Height)" = 392x88
check "a foreign resize to 10000 x 10000 takes the peak memory from $before kB to $(peak) kB (< 64 MiB more)" \
    test $(($(peak) - before)) -lt 65536

"$closer" "$window"
wait_for_exit "$game_pid" 100
status=$exit_status
check "closing the window ends the game with exit code 0 within a second (got $status)" test "$status" = 0

report
