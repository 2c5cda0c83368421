#!/usr/bin/env bash
# Closing the real window (its close box, or another client destroying it) at random moments —
# right after it appears, on the title, in play, in a banner — ends the game, exit code 0, in a second.
#
# usage: close_test.sh <kestrilon> <close-window helper> [closes]
set -uo pipefail
. "$(dirname "$0")/x_session.sh"

game=$(realpath "$1")
closer=$(realpath "$2")
closes=${3:-50}

require_tools Xvfb xdotool

start_x_server "$work"

pause() { sleep "$(awk -v low="$1" -v high="$2" -v seed="$RANDOM" \
    'BEGIN { srand(seed); printf "%.3f", low + rand() * (high - low) }')"; }

for run in $(seq "$closes"); do
    moment=$((run % 4))
    "$game" 2>"$work/game.log" &
    game_pid=$!
    window=$(timeout 10 xdotool search --sync --onlyvisible --class PROMPT 2>/dev/null | head -n1)
    case $moment in
        0) ;; # at once: the game is still starting up and loading its glyphs
        1) pause 0.1 1.0 ;;
        2) pause 0.3 0.5; xdotool windowfocus "$window" key Return; pause 0.1 2.0 ;;
        3) pause 0.3 0.5; xdotool windowfocus "$window" key Return
           xdotool key --delay 40 $(printf 'z %.0s' $(seq 30)); pause 0.1 1.5 ;;
    esac
    # Every fifth run another client destroys the window: that too is a close.
    if [ $((run % 5)) = 0 ]; then xdotool windowclose "$window"; else "$closer" "$window"; fi \
        >/dev/null 2>&1
    wait_for_exit "$game_pid" 100
    status=$exit_status
    if [ "$status" = 0 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: close $run at moment $moment: exit status $status"
        cat "$work/game.log"
        if [ "$status" = timeout ] && command -v gdb >/dev/null; then
            gdb -p "$game_pid" -batch -ex 'thread apply all bt' 2>/dev/null | grep -E '^(Thread|#)'
        fi
        kill -9 "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
    fi
    done

report
