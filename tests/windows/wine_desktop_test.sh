#!/usr/bin/env bash
# The Windows game as a player meets it, under Wine: a real window on an X server of its own
# (Xvfb, no window manager, so Wine's own frame metrics place the client), keys typed with
# xdotool, the screen read back and compared with the glyph pictures, the window closed the way
# a window manager asks; a game started without XInput's DLL. Then the presentation scale, given
# and from the display's DPI; --version and /?; and the message box a player gets when no
# pictures are found.
#
# usage: wine_desktop_test.sh <kestrilon.exe> <wine-run> <close-window helper> <output folder>
#                             <the program's 102.ico>
set -uo pipefail
. "$(dirname "$0")/../desktop/x_session.sh"

game=$(realpath "$1")
wine_run=$(realpath "$2")
closer=$3
out=$4
small_icon=$5
pictures=$(dirname "$game")/bmp

# A prefix of its own: Wine's desktop process belongs to the prefix and keeps the display of
# whichever program started it, and the console tests sharing the run's prefix have none.
export WINEPREFIX="$work/wine"
end_wine_session() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
    end_session
}
trap end_wine_session EXIT

require_tools Xvfb xdotool xwininfo xprop import compare wine
[ -x "$closer" ] || { echo "SKIPPED: no close-window helper at $closer"; exit 77; }

start_x_server "$work"

# start_game [arguments…]: from a folder without pictures, so it must find the ones beside it;
# sets game_pid and window once a window titled "Kestrilon" is there.
start_game() {
    (cd "$work" && exec "$wine_run" "$game" "$@") 2>"$work/game.log" &
    game_pid=$!
    window=
    # Wine's first start in a fresh prefix takes its time.
    for _ in $(seq 1200); do
        window=$(xdotool search --name '^Kestrilon$' 2>/dev/null | head -n1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "FAILED: no window titled Kestrilon appeared"; cat "$work/game.log"; exit 1; }
}

# await <shot> <size> <cell> <code> [scale]: takes shots until the cell shows the glyph (the
# pictures load after the window is up), for at most 30 s.
await() {
    for _ in $(seq 150); do
        shot "$1" "$2"
        cell "$1" "$3" "$4" "${5:-1}" && return
        sleep 0.2
    done
}

# geometry [WxH]: "WxH at X,Y" of the window's X11 window; given a size, once the window has it
# (the game sizes its window just after it names it) or 10 s have passed.
geometry() {
    local info place
    field() { echo "$info" | sed -n "s/^ *$1: *//p"; }
    for _ in $(seq 100); do
        info=$(xwininfo -id "$window")
        place="$(field Width)x$(field Height) at $(field 'Absolute upper-left X'),$(field 'Absolute upper-left Y')"
        [ "${place%% *}" = "${1:-${place%% *}}" ] && break
        sleep 0.1
    done
    echo "$place"
}

# Wine draws the 2-pixel client edge inside the X11 window: the client starts 2 pixels in.
find_client() {
    local place=${1#* at }
    client_x=$((${place%,*} + 2))
    client_y=$((${place#*,} + 2))
}
shot() { import -window root -crop "$2+$((client_x))+$((client_y))" +repage "$work/$1.png"; }

# cell <shot> <index> <code> [scale]: the cell shows exactly the glyph picture of that code.
cell() {
    local scale=${4:-1}
    local x=$(((8 + 32 * $2) * scale))
    convert "$work/$1.png" -crop "$((24 * scale))x$((40 * scale))+$x+$((40 * scale))" +repage \
        -sample "$((100 / scale))%" "$work/cell.png"
    [ "$(compare -metric AE "$work/cell.png" "$(printf '%s/%03d.bmp' "$pictures" "$3")" null: 2>&1)" = 0 ]
}

start_game
# 402 x 117 outer at (0, 0): a 3-pixel frame and a 19-pixel caption around a 396 x 92 edge.
check "the window sits at the corner with a 392 x 88 client (got $(geometry 396x92))" \
    test "$(geometry 396x92)" = "396x92 at 3,22"
client_x=5
client_y=24
await title 392x88 0 80
mkdir -p "$out" && cp "$work/title.png" "$out/title.png"
title="PUSH ENTER"
for i in $(seq 0 9); do
    code=$(printf '%d' "'${title:$i:1}")
    check "title cell $i shows glyph $code" cell title "$i" "$code"
done
check "title cell 10 is blank" cell title 10 32

# small_icon_shown: the window's 16 x 16 icon, as Wine hands it to X11, is icon resource 102.
small_icon_shown() {
    xprop -id "$window" -notype -f _NET_WM_ICON 32c _NET_WM_ICON | sed 's/^[^=]*=//' |
        tr ',' '\n' | awk '
            { v[n++] = $1 }
            END {
                for (i = 0; i < n; i += 2 + v[i] * v[i + 1]) {
                    if (v[i] != 16 || v[i + 1] != 16) continue
                    print "P3 16 16 255"
                    for (k = i + 2; k < i + 2 + 256; k++)
                        print int(v[k] / 65536) % 256, int(v[k] / 256) % 256, v[k] % 256
                    exit
                }
            }' >"$work/icon.ppm"
    [ -s "$work/icon.ppm" ] &&
        [ "$(compare -metric AE "$work/icon.ppm" "$small_icon" null: 2>&1)" = 0 ]
}
check "the window's small icon is icon resource 102" small_icon_shown

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --window "$window" Return
sleep 0.5
shot play 392x88
check 'after Return cell 0 shows "0"' cell play 0 48
check 'after Return cell 1 shows "*"' cell play 1 42
xdotool key --window "$window" x
sleep 0.5
shot aimed 392x88
check 'after X cell 0 shows "1"' cell aimed 0 49
check 'after X cell 1 still shows "*"' cell aimed 1 42

"$closer" "$window"
wait_for_exit "$game_pid" 1000
status=$exit_status
game_pid=
check "closing the window ends the game with exit code 0 (got $status)" test "$status" = 0

# Before Windows 8 there is no xinput1_4.dll: no controllers, and the keyboard plays as before.
# No sound driver either: the game plays on in silence, and M is kept all the same.
WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe,xinput1_4,winealsa.drv,winepulse.drv,wineoss.drv=" start_game
await bare 392x88 0 80
xdotool key --window "$window" Return
sleep 0.5
shot bare-play 392x88
check 'without xinput1_4.dll Return starts a game: cell 1 shows "*"' cell bare-play 1 42
xdotool key --window "$window" x
sleep 0.5
shot bare-aimed 392x88
check 'with no sound device X still steps the aim: cell 0 shows "1"' cell bare-aimed 0 49
xdotool key --window "$window" m
sleep 1
check "M is kept in %APPDATA%" grep -qx "sound off" "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Kestrilon/settings
"$closer" "$window"
wait_for_exit "$game_pid" 1000
game_pid=

# Twice the pixels, each a 2 x 2 square: only the presentation scales.
KESTRILON_SCALE=2 start_game
check "at scale 2 the client is 784 x 176 (got $(geometry 788x180))" test "$(geometry 788x180)" = "788x180 at 3,22"
await scaled 784x176 0 80 2
check "at scale 2 title cell 0 is glyph 80 drawn twice as large" cell scaled 0 80 2
"$closer" "$window"
wait_for_exit "$game_pid" 1000
game_pid=

version=$(cd "$work" && "$wine_run" "$game" --version 2>&1)
check "--version names the program (got \"$version\")" \
    bash -c "echo '$version' | tr -d '\r' | grep -qx 'kestrilon [0-9.]*'"
# Full-width look-alikes are other characters, which the ANSI code page would fold to ASCII.
(cd "$work" && "$wine_run" "$game" '－－ｖｅｒｓｉｏｎ') >/dev/null 2>&1
check "a full-width --version is a usage error, exit 2 (got $?)" test "$?" = 2
(cd "$work" && "$wine_run" "$game" '/?') >"$work/help.txt" 2>&1
check "/? prints the help, -h listed, no SDL" \
    bash -c "grep -qF -- '-h, /?, --help' '$work/help.txt' && ! grep -q SDL '$work/help.txt'"
# The environment as set, outside the ANSI code page too; kestrilon-headless reads its script as
# bytes (a 0x1A in a comment is no end) and writes a snapshot under the name it was given.
(cd "$work" && KESTRILON_SCALE=２ "$wine_run" "$game" --replay "$work/none") >"$work/env.txt" 2>&1
check "a full-width KESTRILON_SCALE is named as set" grep -qF 'KESTRILON_SCALE=２ is' "$work/env.txt"
printf '# 0x1A, a text end of file on Windows: \032\n1000 snapshot Zoë.ppm\n1100 close\n' |
    (cd "$work" && "$wine_run" "$(dirname "$game")/kestrilon-headless.exe") >"$work/headless.txt" 2>&1
check "kestrilon-headless reads past a 0x1A and writes Zoë.ppm" \
    bash -c "tr -d '\r' <'$work/headless.txt' | grep -qx close && [ -s '$work/Zoë.ppm' ]"

# Started as Explorer starts it (start /unix: no standard streams) with no pictures anywhere: a
# message box, a second window titled Kestrilon, while the game goes on.
mkdir "$work/alone" && cp "$game" "$work/alone/"
(cd "$work" && "$wine_run" start /unix "$work/alone/$(basename "$game")")
boxed() { [ "$(xdotool search --name '^Kestrilon$' 2>/dev/null | wc -l)" -ge 2 ]; }
for _ in $(seq 300); do boxed && break; sleep 0.1; done
check "with no pictures anywhere a message box says so" boxed

# The display's scaling as Windows players set it (125 %, 150 %, 200 %), each in a prefix of its
# own: Wine reads the DPI as the prefix's desktop starts. The title is the scale-1 title enlarged
# to the nearest whole scale.
matches() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]; }
for setting in 120:1 144:2 192:2; do
    dpi=${setting%:*}
    scale=${setting#*:}
    wineserver -k 2>/dev/null
    export WINEPREFIX="$work/wine-$dpi"
    "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1
    wineserver -w
    start_game
    size="$((392 * scale))x$((88 * scale))"
    place=$(geometry "$((392 * scale + 4))x$((88 * scale + 4))")
    check "at $dpi dpi the client is $size (got $place)" \
        test "${place%% *}" = "$((392 * scale + 4))x$((88 * scale + 4))"
    find_client "$place"
    convert "$work/title.png" -sample "$((100 * scale))%" "$work/title-$scale.png"
    for _ in $(seq 150); do shot "dpi-$dpi" "$size" && matches "dpi-$dpi" "title-$scale" && break; sleep 0.2; done
    check "at $dpi dpi the title is the scale-1 title $scale times larger" \
        matches "dpi-$dpi" "title-$scale"
    "$closer" "$window"
    wait_for_exit "$game_pid" 1000
    game_pid=
done

report
