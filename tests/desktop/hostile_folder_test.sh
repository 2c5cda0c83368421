#!/usr/bin/env bash
# The real window with a hostile picture folder: every code the glyphs leave free holds a tiny
# file declaring a picture at the pixel cap, and a best score is kept whose small digits are not
# there. The title shows, the game's peak resident memory stays under the picture budget + 64 MiB,
# and closing the window ends it with exit code 0.
#
# usage: hostile_folder_test.sh <kestrilon> <close-window helper> <hostile-folder> <limit KiB>
set -uo pipefail
. "$(dirname "$0")/x_session.sh"

game=$(realpath "$1")
closer=$(realpath "$2")
writer=$(realpath "$3")
limit_kib=$4
pictures=$(dirname "$game")/bmp
mkdir -p "$XDG_DATA_HOME/kestrilon"
echo 7 >"$XDG_DATA_HOME/kestrilon/best-score"

fail() { echo "FAILED: $*"; failed=1; }

for tool in Xvfb xdotool import compare convert; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

"$writer" "$pictures" "$work/folder" >/dev/null || { echo "FAILED: no hostile folder"; exit 1; }
start_x_server "$work"

(cd "$work/folder" && exec "$game") 2>"$work/game.log" &
game_pid=$!
window=$(timeout 10 xdotool search --sync --class PROMPT 2>/dev/null | head -n1)
[ -n "$window" ] || { echo "FAILED: no window of class PROMPT appeared"; cat "$work/game.log"; exit 1; }
sleep 3 # the pictures load, or are turned away, and the title is drawn

import -window root -crop 392x88+0+0 +repage "$work/title.png"
title="PUSH ENTER  "
for i in $(seq 0 11); do
    code=$(printf '%d' "'${title:$i:1}")
    convert "$work/title.png" -crop "24x40+$((8 + 32 * i))+40" +repage "$work/cell.png"
    [ "$(compare -metric AE "$work/cell.png" "$(printf '%s/%03d.bmp' "$pictures" "$code")" null: 2>&1)" = 0 ] ||
        fail "title cell $i does not show glyph $code"
done

peak_kib=$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status")
echo "peak resident memory: $peak_kib KiB (limit $limit_kib KiB)"
[ -n "$peak_kib" ] && [ "$peak_kib" -lt "$limit_kib" ] || fail "peak resident memory $peak_kib KiB"

"$closer" "$window"
wait_for_exit "$game_pid" 100
game_pid=
[ "$exit_status" = 0 ] || fail "closing the window gave exit status $exit_status"

[ "$failed" -eq 0 ] || { head -n 3 "$work/game.log"; exit 1; }
echo "passed"
