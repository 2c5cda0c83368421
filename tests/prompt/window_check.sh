#!/bin/sh
# The prompt window on a real X server: its class, title, place and size, the keys that reach the
# key latch, and a close request ending the process with exit code 0. Leaves screenshots in the
# output folder.
# Usage: window_check.sh <window probe> <close request program> <output folder>
set -eu

if [ -z "${KESTRILON_IN_XVFB:-}" ]; then
    if ! command -v xvfb-run >/dev/null 2>&1; then
        echo "xvfb-run is not installed: skipped"
        exit 77
    fi
    KESTRILON_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" sh "$0" "$@"
fi

probe=$1
close_request=$2
out=$3
mkdir -p "$out"
log=$out/probe.log
: >"$log"

"$probe" >"$log" 2>&1 &
pid=$!

fail() {
    echo "FAIL: $*"
    echo "--- probe output:"
    cat "$log"
    kill "$pid" 2>/dev/null || true
    exit 1
}

# Waits (up to 10 s) until the probe has printed a line matching $1 after line $2.
wait_for_line() {
    tries=0
    until tail -n "+$(($2 + 1))" "$log" | grep -q "$1"; do
        tries=$((tries + 1))
        [ "$tries" -le 200 ] || fail "the probe never printed '$1'"
        kill -0 "$pid" 2>/dev/null || fail "the probe ended early"
        sleep 0.05
    done
}

lines() { wc -l <"$log"; }

wait_for_line '^ready$' 0

window=$(xdotool search --class '^PROMPT$' | head -n 1)
[ -n "$window" ] || fail "no window of class PROMPT"
xprop -id "$window" WM_CLASS | grep -q '"PROMPT", "PROMPT"' || fail "WM_CLASS is not PROMPT"
xprop -id "$window" _NET_WM_NAME WM_NAME | grep -q '"Kestrilon"' || fail "the title is not Kestrilon"

info=$(xwininfo -id "$window")
echo "$info" | grep -q 'Absolute upper-left X: *0$' || fail "not at x 0: $info"
echo "$info" | grep -q 'Absolute upper-left Y: *0$' || fail "not at y 0: $info"
echo "$info" | grep -q 'Width: *392$' || fail "width is not 392: $info"
echo "$info" | grep -q 'Height: *88$' || fail "height is not 88: $info"
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
echo "$hints" | grep -q 'minimum size: 392 by 88' || fail "resizable: $hints"
echo "$hints" | grep -q 'maximum size: 392 by 88' || fail "resizable: $hints"

xdotool windowfocus --sync "$window"

# press <xdotool key> <code the latch must show>
press() {
    before=$(lines)
    xdotool key "$1"
    wait_for_line "^key $2\$" "$before"
}

press x 0x58
press shift+x 0x58
press Return 0x0D
press KP_Enter 0x0D
press z 0x5A
press 7 0x37
press F1 0x70
press Shift_L 0x10
press Control_L 0x11

# A key held down repeats, and each repeat reaches the latch again.
before=$(lines)
xdotool keydown x
sleep 1.5
xdotool keyup x
wait_for_line '^key 0x58$' "$before"
repeats=$(tail -n "+$((before + 1))" "$log" | grep -c '^key 0x58$' || true)
[ "$repeats" -ge 2 ] || fail "a held key reached the latch $repeats time(s)"

# System keys never reach the latch: after Alt+X, Alt alone and F10, E must be the next key.
before=$(lines)
xdotool key alt+x
xdotool key Alt_L
xdotool key F10
xdotool key e
wait_for_line '^key 0x45$' "$before"
tail -n "+$((before + 1))" "$log" | grep -q '^key 0x\(58\|12\|79\)$' && fail "a system key reached the latch"

# The colour of the screen at ($1, $2), as #RRGGBB.
pixel_at() {
    import -window root -depth 8 -crop "1x1+$1+$2" txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1
}

# Waits (up to 5 s) until the screen at ($1, $2) shows the colour $3.
wait_for_pixel() {
    tries=0
    until [ "$(pixel_at "$1" "$2")" = "$3" ]; do
        tries=$((tries + 1))
        [ "$tries" -le 50 ] || fail "($1, $2) shows $(pixel_at "$1" "$2"), not $3"
        sleep 0.1
    done
}

# The probe's panel (B4C8AA) with dark cells (1E281E) from y 40, nothing beyond the window.
wait_for_pixel 2 2 '#B4C8AA'
wait_for_pixel 10 50 '#1E281E'
wait_for_pixel 400 10 '#000000'

# Uncovered again, the window repaints itself from the back buffer.
xdotool windowunmap --sync "$window"
[ "$(pixel_at 10 50)" = '#000000' ] || fail "the hidden window still shows"
xdotool windowmap --sync "$window"
wait_for_pixel 10 50 '#1E281E'
wait_for_pixel 2 2 '#B4C8AA'

import -window root "$out/screen.png"

"$close_request" "$window" || fail "the close request could not be sent"
if wait "$pid"; then
    code=0
else
    code=$?
fi
[ "$code" -eq 0 ] || fail "exit code $code after the close request"
echo "PASS: class, title, 392 x 88 at (0, 0), not resizable, picture, repaint, keys, repeat, close with exit code 0"
