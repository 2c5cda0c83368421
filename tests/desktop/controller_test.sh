#!/usr/bin/env bash
# A whole game played with a controller, in the real window on an X server (Xvfb): a virtual
# controller (pad-driver) presses Start, the west button and the south button as a player
# would, and the screen is read back as in the keyboard's test. Then the game on a system that
# refuses the controllers' watch a thread or an eventfd (system-limits): the keyboard plays.
#
# usage: controller_test.sh <pad-driver> <kestrilon> <system-limits>
set -uo pipefail
. "$(dirname "$0")/x_session.sh"

driver=$(realpath "$1")
game=$(realpath "$2")
limits=$(realpath "$3")
pictures=$(dirname "$driver")/bmp

require_tools Xvfb xdotool import compare

start_x_server "$work"
export XDG_DATA_HOME="$work/data"
mkfifo "$work/buttons"
(cd "$work" && exec "$driver" <"$work/buttons") 2>"$work/game.log" &
game_pid=$!
exec 4>"$work/buttons"
press() { for button in "$@"; do echo "$button" >&4; sleep 0.12; done; }

window=$(timeout 10 xdotool search --sync --class PROMPT 2>/dev/null | head -n1)
[ -n "$window" ] || { echo "FAILED: no window of class PROMPT appeared"; cat "$work/game.log"; exit 1; }
sleep 1 # the glyphs load and the title is drawn
press plug

press start
shot play
check 'after Start cell 0 shows "0"' cell play 0 48
check 'after Start cell 1 shows "*"' cell play 1 42
press west up
shot aimed
check 'after the west button and up cell 0 shows "2"' cell aimed 0 50

# The 30th shot ends the game; a press the row's march takes is not a shot, so up to four more.
press $(printf 'south %.0s' $(seq 29))
shot shooting
check 'after 29 shots the game goes on' cell shooting 1 42
for _ in 1 2 3 4 5; do
    press south
    sleep 0.1
    shot over
    cell over 0 71 && break
done
check 'the 30th shot ends the game: "GAME OVER"' cell over 0 71
check '"GAME OVER", cell 5' cell over 5 79
press start
sleep 0.3
shot title
check 'Start skips the banner: the title "PUSH ENTER" again' cell title 0 80
kill -TERM "$game_pid" && wait_for_exit "$game_pid" 300
check "SIGTERM ends the game while the driver waits for a line ($exit_status)" test "$exit_status" = 143
exec 4>&-

for refused in threads eventfd; do
    LD_PRELOAD="$limits" KESTRILON_TEST_REFUSE=$refused \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" "$game" 2>"$work/$refused.log" &
    game_pid=$!
    xdotool windowfocus --sync "$(timeout 10 xdotool search --sync --class PROMPT | head -n1)"
    sleep 1 && xdotool key Return && sleep 0.3 && shot "$refused"
    check "refused $refused, Return starts a game" cell "$refused" 1 42
    check "refused $refused, controllers are said to be off once" \
        test "$(grep -c '^kestrilon: controllers are off' "$work/$refused.log")" = 1
    kill "$game_pid" && wait "$game_pid"
done

report
