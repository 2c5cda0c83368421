#!/usr/bin/env bash
# The best score as a player meets it: none at first (the header is the backdrop alone); a game
# played to GAME OVER with keys; its score, as the readout shows it, in the header and in the
# file; a worse game after it changes neither; the same header at the next start; the best game's
# code, played back by the simulator and in the window to the same readout, at 1x and at 4x;
# today's game, whose code a table files under today; --forget-best; a close or SIGTERM during a
# slowed save hides the window at once, keeps the best and its game; the folder.
#
# usage: best_score_test.sh <kestrilon> <close-window helper> <fsync-slowing library>
#                           <kestrilon-sim> [<kestrilon-table>]
set -uo pipefail
. "$(dirname "$0")/x_session.sh"

game=$(realpath "$1")
closer=$(realpath "$2")
slow_fsync=$(realpath "$3")
sim=$(realpath "$4")
table=${5-}
pictures=$(cd "$(dirname "$game")" && pwd)/bmp
best=$XDG_DATA_HOME/kestrilon/best-score

require_tools Xvfb xdotool import compare convert identify strace curl jq

start_x_server "$work"
convert "$pictures/000.bmp" -crop 392x40+0+0 +repage "$work/strip.bmp"

play() { # play [NAME=value…] [option…]: starts the game and waits for its title
    local settings=() options=() arg
    for arg; do
        if [[ $arg =~ ^[A-Z_]+= ]]; then settings+=("$arg"); else options+=("$arg"); fi
    done
    (cd "$work" && exec env "${settings[@]}" ${trace-} "$game" --scale 1 "${options[@]}") \
        2>>"$work/game.log" &
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

# fire_until <file>: starts a game and fires at every aim in turn until the file is there (the
# 30th press of Z ends the game).
fire_until() {
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key Return
    sleep 2 # an invader comes in
    for _ in $(seq 120); do
        [ -e "$1" ] && return
        xdotool key z
        sleep 0.08
        xdotool key x
        sleep 0.08
    done
}
fire_until "$best"
read_score() { # read_score <shot>: waits for the GAME OVER readout; sets readout, stage and score
    readout=
    for _ in $(seq 30); do
        shot "$1"
        readout=$(row_text "$1")
        [[ $readout =~ ^([0-9])-([0-9]+)\ +$ ]] && break
        sleep 0.2
    done
    stage=${BASH_REMATCH[1]:-none}
    score=${BASH_REMATCH[2]:-none}
    check "the GAME OVER readout shows a score (it read \"$readout\")" test "$score" != none
}
read_score over
best_score=$score
best_readout=$readout
best_stage=$stage
check "the file holds the score $score and a newline, nothing else" \
    cmp -s "$best" <(printf '%s\n' "$score")
check "the header shows the new best $score at once" header_shows over "$score"

# A second game: ten shots at the first invaders, then the rest at the bonus invader, who is not
# there (a press while the row moves is not taken, so twice as many): it scores less, likely.
sleep 2
xdotool key Return
sleep 1
xdotool key Return
sleep 2
xdotool key --delay 80 $(printf 'z x %.0s' $(seq 10))
xdotool key --delay 40 $(printf 'z %.0s' $(seq 60))
read_score worse
echo "a game of $best_score, then one of $score"
if [ "$score" != none ] && [ "$score" -gt "$best_score" ]; then
    best_score=$score best_readout=$readout best_stage=$stage
fi
check "after a game of $score the header shows the best, $best_score" header_shows worse "$best_score"
check "and the file holds it" cmp -s "$best" <(printf '%s\n' "$best_score")
score=$best_score

"$closer" "$window"
wait_for_exit "$game_pid" 100
check "a close after the save has finished ends the game at once (got $exit_status)" \
    test "$exit_status" = 0
play
shot again
check "the next start shows $score in the header" header_shows again "$score"
"$closer" "$window"
wait_for_exit "$game_pid" 100

code=$("$game" --print-best-replay)
check "--print-best-replay prints the best game's code (\"$code\")" test "${code:0:3}" = K1.
sim_end=$("$sim" --replay "$code" | tail -n1)
check "the simulator replays it to stage $best_stage, score $score (\"$sim_end\")" \
    test "$(cut -d' ' -f3,4 <<<"$sim_end")" = "$score $best_stage"
# Kept as a Windows editor saves it, under a lower score: the replay's higher one is not the best.
printf '1\n' >"$best"
printf '\xef\xbb\xbf1\r\n%s\r\n' "$code" >"$(dirname "$best")/best-game"
for speed in 1 4; do
    play --replay best --speed "$speed"
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key z x Return z # the player's keys do nothing in a replay
    replayed=
    for _ in $(seq 150); do
        shot "replayed$speed"
        replayed=$(row_text "replayed$speed")
        [ "$replayed" = "$best_readout" ] && break
        # The readout flashes with the GAME OVER banner: a loaded machine's steady beat of shots
        # could meet the banner every time, an uneven one cannot.
        sleep "0.$((RANDOM % 5 + 1))"
    done
    check "the window replays it at ${speed}x to the readout \"$best_readout\" (it read \"$replayed\")" \
        test "$replayed" = "$best_readout"
    "$closer" "$window"
    wait_for_exit "$game_pid" 100
done
check "at 4x the window ends on the picture it ends on at 1x" \
    test "$(compare -metric AE "$work/replayed1.png" "$work/replayed4.png" null: 2>&1)" = 0
check "a replay leaves the best score as it was" cmp -s "$best" <(printf '1\n')

# Today's game, in a folder of its own so that its score is the best there: a table files its
# code, sent as the README says, under today.
play XDG_DATA_HOME="$work/today" --daily
fire_until "$work/today/kestrilon/best-score"
"$closer" "$window"
wait_for_exit "$game_pid" 100
if [ -n "$table" ]; then
    port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')
    "$table" --listen "127.0.0.1:$port" --page "$work" --data "$work" --simulator "$sim" 2>"$work/table.log" &
    table_pid=$!
    for _ in $(seq 100); do curl -sf "127.0.0.1:$port/healthz" >/dev/null && break; sleep 0.1; done
    filed=$(XDG_DATA_HOME=$work/today "$game" --print-best-replay | jq -Rn '{code: input, name: "TODAY"}' |
        curl -sS -H 'Content-Type: application/json' -d @- "127.0.0.1:$port/api/games")
    check "a table files today's game under today (it answered $filed)" test "$(jq -r .day <<<"$filed")" = "$(date -u +%F)"
    kill "$table_pid"
fi

"$game" --forget-best
status=$?
check "--forget-best exits 0 (got $status) and removes the file" test "$status" = 0 -a ! -e "$best"
check "nothing was said on stderr" test ! -s "$work/game.log"

# Closed (the window, or a SIGTERM) as soon as a save has begun, every flush slowed to 2 s: the
# window goes at once, and the game ends once the score, then its game, are on the disk.
close_while_saving() { # close_while_saving <how, evaluated> <exit status>
    "$game" --forget-best
    play LD_PRELOAD="$slow_fsync" KESTRILON_TEST_FSYNC_MARK="$work/saving$2" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
    fire_until "$work/saving$2"
    eval "$1" && sleep 0.5
    check "$1 during a save: the window is gone at once" \
        test -z "$(xdotool search --onlyvisible --class PROMPT 2>/dev/null)"
    wait_for_exit "$game_pid" 1500
    check "then it ends with $2, the new best ($(cat "$best" 2>/dev/null)) and its game kept" \
        test "$exit_status:$("$game" --print-best-replay | cut -c1-3)" = "$2:K1."
}
trace="strace -f -qq --seccomp-bpf -e trace=fsync,linkat,rename -e signal=none -o $work/trace" \
    close_while_saving '"$closer" "$window"' 0
check "each file flushed before it is named, the folder after the rename" test "$(tr -d '\n' < <(
    sed -nE 's/^[0-9]+ +(fsync|linkat|rename)\((.*"[^"]*\/([^"/]+)")?.*/\1\3/p' "$work/trace"))" \
    = fsynclinkatbest-score.tmprenamebest-scorefsyncfsynclinkatbest-game.tmprenamebest-gamefsync
close_while_saving 'kill -TERM "$game_pid"' 143

forget() { "$game" --forget-best 2>"$work/forget.log"; echo $?; }
rm -rf "$XDG_DATA_HOME/kestrilon" && touch "$XDG_DATA_HOME/kestrilon"
check "--forget-best with a file for the folder has nothing to forget: 0, quietly" \
    test "$(forget)" = 0 -a ! -s "$work/forget.log"
rm "$XDG_DATA_HOME/kestrilon" && mkdir -p "$best/inside"
check "--forget-best with a folder in the file's place: 1, naming it" \
    test "$(forget)" = 1 -a -n "$(grep -F "$best" "$work/forget.log")"

# --help names the file: in an absolute XDG_DATA_HOME, else an absolute HOME's; relative ones
# are ignored.
for rule in /x:/h:/x/kestrilon/best-score x:/h:/h/.local/share/kestrilon x:h:"is not kept"; do
    IFS=: read -r data home expected <<<"$rule"
    check "XDG_DATA_HOME=$data HOME=$home: $expected" \
        grep -qF "$expected" <(XDG_DATA_HOME=$data HOME=$home "$game" --help)
done

report
