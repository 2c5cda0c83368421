#!/usr/bin/env bash
# The best score as a player meets it: none at first (the header is the backdrop alone); a game
# played to GAME OVER with keys; its score, as the readout shows it, in the header and in the
# file; the same header at the next start; its game's code, played back by the simulator and in
# the window to the same readout; --forget-best.
#
# usage: best_score_test.sh <kestrilon> <close-window helper> <kestrilon-sim>
set -uo pipefail
. "$(dirname "$0")/x_session.sh"

game=$(realpath "$1")
closer=$(realpath "$2")
sim=$(realpath "$3")
pictures=$(cd "$(dirname "$game")" && pwd)/bmp
export XDG_DATA_HOME=$work/data
best=$XDG_DATA_HOME/kestrilon/best-score

require_tools Xvfb xdotool import compare convert identify

start_x_server "$work"
convert "$pictures/000.bmp" -crop 392x40+0+0 +repage "$work/strip.bmp"

play() { # play [option…]: starts the game and waits for its title
    (cd "$work" && exec "$game" --scale 1 "$@") 2>>"$work/game.log" &
    game_pid=$!
    window=$(timeout 10 xdotool search --sync --class PROMPT 2>/dev/null | head -n1)
    sleep 1
}

# header_shows <shot> <number>: the number's small digits end at x = 284 in the header.
header_shows() {
    local digits=$2 x=284 i
    for ((i = ${#digits} - 1; i >= 0; i--)); do
        x=$((x - 18))
        shows "$1" "$x" 4 "$pictures/small${digits:i:1}.bmp" || return 1
    done
}

# The readout's characters, told apart by the signatures of their glyph pictures.
declare -A glyph_of
for char in 0 1 2 3 4 5 6 7 8 9 - ' '; do
    glyph_of[$(identify -format '%#' "$(printf '%s/%03d.bmp' "$pictures" "'$char")")]=$char
done
row_text() { # row_text <shot>: the 12 cells as text, "?" where no readout character is shown
    convert "$work/$1.png" -crop 384x40+8+40 +repage -crop 32x40 +repage -crop 24x40+0+0 \
        +repage -format '%#\n' info: | while read -r signature; do
        printf '%s' "${glyph_of[$signature]:-?}"
    done
}

play
shot first
check "with no best score the header is the backdrop alone" shows first 0 0 "$work/strip.bmp"

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key Return
sleep 2 # an invader comes in
# Fire at every aim in turn until the game ends: the 30th press of Z ends it.
for _ in $(seq 120); do
    [ -e "$best" ] && break
    xdotool key z
    sleep 0.08
    xdotool key x
    sleep 0.08
done
readout=
for _ in $(seq 30); do
    shot over
    readout=$(row_text over)
    [[ $readout =~ ^([0-9])-([0-9]+)\ +$ ]] && break
    sleep 0.2
done
stage=${BASH_REMATCH[1]:-none}
score=${BASH_REMATCH[2]:-none}
check "the GAME OVER readout shows a score (it read \"$readout\")" test "$score" != none
check "the file holds the score $score and a newline, nothing else" \
    cmp -s "$best" <(printf '%s\n' "$score")
check "the header shows the new best $score at once" header_shows over "$score"

"$closer" "$window"
wait_for_exit "$game_pid" 100
play
shot again
check "the next start shows $score in the header" header_shows again "$score"
"$closer" "$window"
wait_for_exit "$game_pid" 100

code=$("$game" --print-best-replay)
check "--print-best-replay prints the game's code (\"$code\")" test "${code:0:3}" = K1.
sim_end=$("$sim" --replay "$code" | tail -n1)
check "the simulator replays it to stage $stage, score $score (\"$sim_end\")" \
    test "$(cut -d' ' -f3,4 <<<"$sim_end")" = "$score $stage"
play --replay best
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key z x Return z # the player's keys do nothing in a replay
replayed=
for _ in $(seq 150); do
    shot replayed
    replayed=$(row_text replayed)
    [ "$replayed" = "$readout" ] && break
    sleep 0.2
done
check "the window replays it to the readout \"$readout\" (it read \"$replayed\")" \
    test "$replayed" = "$readout"
check "a replay leaves the best score as it was" cmp -s "$best" <(printf '%s\n' "$score")
"$closer" "$window"
wait_for_exit "$game_pid" 100

"$game" --forget-best
status=$?
check "--forget-best exits 0 (got $status) and removes the file" test "$status" = 0 -a ! -e "$best"
check "nothing was said on stderr" test ! -s "$work/game.log"

report
