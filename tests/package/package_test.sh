#!/usr/bin/env bash
# The Debian package as a distribution and a player meet it: lintian and the desktop's checkers
# accept what it holds; installed with dpkg, the game started from / draws its title with the
# installed pictures in a real window (Xvfb) and closes with exit code 0; removed with dpkg,
# nothing of it is left. The table's package beside it: lintian accepts it, and installed, its
# server verifies a game with its installed simulator and serves its installed page. It installs into the system, so it is part of the full run only, which
# CI makes as root on a machine of its own.
#
# usage: package_test.sh <kestrilon .deb> <close-window helper> [screenshot to keep]
set -uo pipefail
. "$(dirname "$0")/../desktop/x_session.sh"

deb=$(realpath "$1")
closer=$(realpath "$2")
keep_shot=${3:-}
game=/usr/games/kestrilon
pictures=/usr/share/games/kestrilon/bmp
installed=
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

# The session's cleanup, and the package removed if the test stopped while it was installed.
trap '[ -n "$installed" ] && "${sudo[@]}" dpkg -r kestrilon >/dev/null
      [ -n "${table_installed:-}" ] && "${sudo[@]}" dpkg -r kestrilon-table >/dev/null; end_session' EXIT

# quietly <command…>: its output only when it fails.
quietly() {
    local output
    output=$("$@" 2>&1) || { echo "$output"; return 1; }
}

require_tools lintian desktop-file-validate appstreamcli identify dpkg-deb Xvfb xdotool xwininfo \
    import convert compare

installed_state() { dpkg-query -W -f='${db:Status-Abbrev}' kestrilon 2>/dev/null; }

if [ "$(installed_state)" = "ii " ]; then
    echo "FAILED: kestrilon is installed on this machine; the test installs and removes it itself"
    exit 1
fi

# What the package holds, checked before anything is installed.
check "lintian reports no error and no warning" quietly lintian --fail-on error,warning "$deb"
dpkg-deb -x "$deb" "$work/root"
check "the desktop entry is valid" \
    quietly desktop-file-validate "$work"/root/usr/share/applications/*.desktop
check "the metainfo is valid" \
    quietly appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml
for size in 16 32 48 64 128 192 256 512; do
    icon=$(echo "$work/root/usr/share/icons/hicolor/${size}x$size/apps/"*.png)
    check "the ${size} px icon is a ${size} x ${size} PNG that decodes" test \
        "$(identify -regard-warnings -format '%m %wx%h' "$icon" 2>&1)" = "PNG ${size}x$size"
done

# The web zip beside it, as a game portal takes it: the page as index.html at its top.
web_zip=$(echo "$(dirname "$deb")"/kestrilon-*-web.zip)
check "the web zip holds the page as index.html and what it loads at its top" test \
    "$(python3 -c 'import sys, zipfile; print(*sorted(zipfile.ZipFile(sys.argv[1]).namelist()))' "$web_zip")" = \
    "icon-192.png icon-512.png icon-maskable-192.png index.html kestrilon-sw.js kestrilon.data kestrilon.html kestrilon.js kestrilon.wasm kestrilon.webmanifest table.html"

"${sudo[@]}" dpkg -i "$deb" >"$work/dpkg.log" 2>&1 && installed=yes
check "dpkg installs the package" test "$(installed_state)" = "ii "
[ -n "$installed" ] || cat "$work/dpkg.log"
version=$(dpkg-deb -f "$deb" Version)
check "the game on the PATH of games tells the package's version" \
    test "$(PATH=/usr/games:/usr/bin:/bin kestrilon --version 2>&1)" = "kestrilon $version"

# From a folder with no pictures, beside a program with none: only the installed ones can show.
# The window is looked for by the desktop entry's window class, which lets a dock show the
# running game with the entry's name and icon.
start_x_server "$work"
(cd / && exec env -u GDK_SCALE -u KESTRILON_SCALE "$game") 2>"$work/game.log" &
game_pid=$!
wm_class=$(sed -n 's/^StartupWMClass=//p' /usr/share/applications/*kestrilon*.desktop)
window=$(timeout 10 xdotool search --sync --class "^$wm_class\$" 2>/dev/null | head -n1)
if [ -n "$window" ]; then
    sleep 1 # the glyphs load and the title is drawn
    geometry=$(xwininfo -id "$window")
    field() { echo "$geometry" | sed -n "s/^ *$1: *//p"; }
    import -window root -crop "392x88+$(field 'Absolute upper-left X')+$(field 'Absolute upper-left Y')" \
        +repage "$work/title.png"
    [ -n "$keep_shot" ] && cp "$work/title.png" "$keep_shot"

    # cell <index> <code>: the cell shows exactly the installed glyph picture of that code.
    cell() {
        convert "$work/title.png" -crop "24x40+$((8 + 32 * $1))+40" +repage "$work/cell.png"
        [ "$(compare -metric AE "$work/cell.png" "$(printf '%s/%03d.bmp' "$pictures" "$2")" \
            null: 2>&1)" = 0 ]
    }
    title="PUSH ENTER  "
    for i in $(seq 0 11); do
        code=$(printf '%d' "'${title:$i:1}")
        check "title cell $i shows the installed glyph $code" cell "$i" "$code"
    done

    "$closer" "$window"
    wait_for_exit "$game_pid" 100
    status=$exit_status
    game_pid=
    check "closing the window ends the game with exit code 0 (got $status)" test "$status" = 0
else
    check "a window of the desktop entry's class \"$wm_class\" appears" false
    cat "$work/game.log"
fi

"${sudo[@]}" dpkg -r kestrilon >"$work/dpkg.log" 2>&1 && installed=
removed() { case $(installed_state) in "" | un*) return 0 ;; *) return 1 ;; esac; }
check "dpkg removes the package" removed
# Every file of the package, and every folder of its own; the shared folders stay, of course.
left=$(dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' | while read -r path; do
    case $path in */) [[ $path == *kestrilon* ]] || continue ;; esac
    [ -e "$path" ] && echo "$path"
done)
check "nothing of the package is left${left:+: $left}" test -z "$left"

table_deb=$(echo "$(dirname "$deb")"/kestrilon-table_*.deb)
check "lintian reports no error and no warning on kestrilon-table" \
    quietly lintian --fail-on error,warning "$table_deb"
"${sudo[@]}" dpkg -i "$table_deb" >"$work/dpkg.log" 2>&1 && table_installed=yes
check "dpkg installs kestrilon-table" test -n "${table_installed:-}"
unit=/lib/systemd/system/kestrilon-table.service
check "its service runs it as a user of its own with its data in /var/lib/kestrilon-table" \
    test "$(grep -xc -e 'DynamicUser=yes' -e 'StateDirectory=kestrilon-table' "$unit")" = 2
mkdir "$work/table"
(cd / && exec kestrilon-table --listen 127.0.0.1:18933 --data "$work/table") 2>"$work/table.log" &
table_pid=$!
ask() { python3 - "$@" <<'PY'
import json, sys, time, urllib.error, urllib.request
for _ in range(100):
    try:
        request = urllib.request.Request("http://127.0.0.1:18933" + sys.argv[1],
                                         sys.argv[2].encode() if len(sys.argv) > 2 else None)
        print(urllib.request.urlopen(request).status)
        break
    except urllib.error.HTTPError as error:
        print(error.code)
        break
    except OSError:
        time.sleep(0.1)
PY
}
code=K1.TQdJDwUFBhUaHwoGDwUGFAUFBhkFBQYfCgYPBQYUBQUGGh4GCgUGDwUFBhUZBh4FBgoFBQYQFAYZBQYeBQUGCw8GFAUGGQUFBh8KBi0C  # kestrilon-bench-codes 1 7
check "the installed server verifies a game with its installed simulator" \
    test "$(ask /api/games "{\"code\": \"$code\", \"name\": \"PKG\"}")" = 201
check "and serves the installed table.html and the game's page" \
    test "$(ask /table.html) $(ask /kestrilon.html)" = "200 200"
kill -TERM "$table_pid"
wait "$table_pid"
check "SIGTERM stops it with exit code 0" test $? = 0
"${sudo[@]}" dpkg -r kestrilon-table >"$work/dpkg.log" 2>&1 && table_installed=
check "dpkg removes kestrilon-table" test -z "$(dpkg-query -W -f='${db:Status-Abbrev}' kestrilon-table 2>/dev/null | grep '^i')"

report
