#!/usr/bin/env bash
# Sound as a player meets it, through SDL's disk driver (the samples written to a file): silence
# at the title (no device opened), a key's tone at the start of what the device is given, the
# device let go after a second of silence and taken again for the next sound; M turns the sound
# off, shows the sign in the header and is remembered, so the next start plays nothing; a sound
# driver that cannot open costs one line and the game plays on to GAME OVER.
#
# usage: sound_test.sh <kestrilon> <close-window helper>
set -uo pipefail
. "$(dirname "$0")/x_session.sh"

game=$(realpath "$1")
closer=$(realpath "$2")
pictures=$(cd "$(dirname "$game")" && pwd)/bmp
samples=$work/sound.raw

require_tools Xvfb xdotool import compare convert identify python3

start_x_server "$work"

play() { # play <SDL_AUDIODRIVER>: starts the game and waits for its title
    rm -f "$samples"
    (cd "$work" && SDL_AUDIODRIVER=$1 SDL_DISKAUDIOFILE=$samples exec "$game" --scale 1) \
        2>>"$work/game.log" &
    game_pid=$!
    window=$(timeout 10 xdotool search --sync --class PROMPT 2>/dev/null | head -n1)
    sleep 1
    xdotool windowfocus --sync "$window" 2>/dev/null
}
close() {
    "$closer" "$window"
    wait_for_exit "$game_pid" 300
    check "the game ends with exit code 0 (got $exit_status)" test "$exit_status" = 0
}
# first_sound: the time in ms of the first sample that is not silence (32-bit floats, mono,
# 48 kHz), -1 when there is none.
first_sound() {
    python3 -c 'import array, sys
a = array.array("f", open(sys.argv[1], "rb").read())
print(next((i * 1000 // 48000 for i, v in enumerate(a) if v != 0), -1))' "$samples"
}
size() { stat -c %s "$samples" 2>/dev/null || echo 0; }

play disk
check "at the title no sound device is opened" test ! -e "$samples"
xdotool key Return
sleep 0.3
xdotool key x
sleep 0.5
at=$(first_sound)
check "the aim's tone is among the first 30 ms the device was given (at $at ms)" \
    test "$at" -ge 0 -a "$at" -lt 30
sleep 1.5
before=$(size)
sleep 0.5
check "after a second of silence the device is let go ($before bytes, then $(size))" \
    test "$before" = "$(size)"
xdotool key z
sleep 0.5
check "the next sound takes the device again" test "$(first_sound)" -ge 0

xdotool key m
sleep 0.5
shot muted
check "M shows the sound-off sign in the header" shows muted 122 4 "$pictures/soundoff.bmp"
check "M is kept in the settings" grep -qx "sound off" "$XDG_DATA_HOME/kestrilon/settings"
close

play disk
shot restarted
check "after a restart the header still shows the sign" shows restarted 122 4 "$pictures/soundoff.bmp"
xdotool key Return
sleep 0.3
for key in x z x z; do xdotool key $key; sleep 0.1; done
sleep 0.5
check "muted, no sound device is opened" test ! -e "$samples"
close

rm -f "$XDG_DATA_HOME/kestrilon/settings"
: >"$work/game.log"
play no-such-driver
xdotool key Return
sleep 0.3
# The 30th shot of the wave ends the game; its banner is looked for between the presses.
over=false
for i in $(seq 120); do
    xdotool key z
    sleep 0.05
    if [ $((i % 4)) = 0 ]; then
        shot over
        cell over 0 71 && cell over 1 65 && { over=true; break; }
    fi
done
check "with no sound device the game plays on to GAME OVER" $over
check "the failing device is named once on stderr" \
    test "$(grep -c '^kestrilon: no sound' "$work/game.log")" = 1
close

report
