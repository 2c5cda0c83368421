#!/usr/bin/env bash
# Another build's simulator (Windows under Wine, the web's under Node) plays the same games as
# the Linux one: the same scripts and seeds, and the same replay codes, give byte-identical output
# and the same exit code.
#
# usage: sim_match_test.sh <system> <its simulator> <what runs it> <Linux kestrilon-sim>
set -uo pipefail

system=$1
other_sim=$2
runner=$3
linux_sim=$4
[ -x "$linux_sim" ] || { echo "SKIPPED: no Linux simulator at $linux_sim (build the default preset)"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# Keys every `step` ms from `from` to `to`, cycling through the given keys.
keys() { # keys <from> <to> <step> <key…>
    local from=$1 to=$2 step=$3
    shift 3
    awk -v from="$from" -v to="$to" -v step="$step" -v list="$*" 'BEGIN {
        n = split(list, k, " "); i = 0
        for (t = from; t <= to; t += step) print t, k[(i++ % n) + 1]
    }'
}

# A long game: ten minutes of play with keys at uneven moments, the same for both sides.
awk 'BEGIN { srand(8); print 100, "Enter"; t = 400
             split("X Z Z E X Z Enter Shift 90 88", k, " ")
             while (t < 600000) { print t, k[int(rand() * 10) + 1]; t += 20 + int(rand() * 400) } }' \
    >"$work/long"
printf '' >"$work/idle"
{ printf '# a game of fire and aim; 0x1A, a text end of file on Windows: \032\n'
  keys 100 100 1 Enter; keys 300 60000 150 X Z Z X E; } >"$work/steady"
printf '100 Enter\n200 Sideways\n' >"$work/malformed"

# run <output file> <command…>: the row's script in, its output to the file, or standard output
# closed when the row sets closed_output.
run() {
    local out=$1
    shift
    if [ -n "${closed_output:-}" ]; then
        : >"$out"
        "$@" <"$script" >&- 2>/dev/null
    else
        "$@" <"$script" >"$out" 2>/dev/null
    fi
}

compare() { # compare <name> <expected exit code> <script> <simulator arguments…>
    local name=$1 expected=$2 script=$3
    shift 3
    run "$work/linux.out" "$linux_sim" "$@"
    local linux_status=$?
    run "$work/other.out" "$runner" "$other_sim" "$@"
    local other_status=$?
    if [ "$linux_status" = "$expected" ] && [ "$other_status" = "$expected" ] &&
        cmp -s "$work/linux.out" "$work/other.out"; then
        passed=$((passed + 1))
        echo "same: $name ($(wc -l <"$work/linux.out") lines, exit $expected)"
    else
        failed=$((failed + 1))
        echo "FAILED: $name (exit $linux_status on Linux, $other_status on $system, $expected wanted)"
        cmp "$work/linux.out" "$work/other.out" | head -n 3
    fi
}

compare "the title screen, seed 1" 0 "$work/idle" --seed 1 --until 30000
compare "a steady game, seed 7" 0 "$work/steady" --seed 7
compare "a steady game, the largest seed" 0 "$work/steady" --seed 4294967295 --until 90000
compare "ten minutes of uneven play, seed 12345" 0 "$work/long" --seed 12345
compare "a steady game across the tick count's wrap" 0 "$work/steady" --seed 3 --start-tick 4294950000
compare "a malformed script" 2 "$work/malformed" --seed 1
awk 'BEGIN { print 100, "Enter"; for (t = 101; t < 1000100; ++t) print t, (t % 2 ? "X" : "Z") }' \
    >"$work/million"
compare "a million keys, the most a script holds, seed 5" 0 "$work/million" --seed 5
# Node opens a closed standard stream itself before the simulator runs.
if [ "$system" = web ]; then
    compare "a folder for a script" 2 "$work" --seed 1
    closed_output=yes compare "standard output closed" 1 "$work/idle" --seed 1
fi
# Games played in the window on Xvfb and in the page, 30 shots each; then the window's code with
# its last character changed, and with another version.
played=K1.RJ_kUz3jBB4VHhoZGhkaGRUeGhkpGRUZGhkaHhoZGh4fHhoZKRQaGRoeGhkaGRoZGhkaGRUyFRkaGRoZGh4aGRoZFTzM
compare "a replay of a game played in the window" 0 "$work/idle" --replay "$played"
compare "a replay of a game played in Chromium" 0 "$work/idle" \
    --replay K1.Q9IBPi0fChAPEAoQDxAKEA8LDxAKEA8QChAPEB4LDxAPCw8QChAPEA8QDxAPEAoQDwsPEA8LHhAKEA8QChAPEAoQBWM
compare "a damaged replay code" 2 "$work/idle" --replay "${played%M}N"
compare "a replay code of another version" 2 "$work/idle" --replay "K2.${played#K1.}"
# Named outside the ANSI code page, through which Windows would look for another file.
mkdir "$work/Zoë" && echo "$played" >"$work/Zoë/game.txt"
compare "a replay file in a folder named Zoë" 0 "$work/idle" --replay "$work/Zoë/game.txt"
# Full-width look-alikes are other characters (Windows' ANSI code page would fold them to ASCII).
compare "a full-width --seed" 2 "$work/idle" '－－ｓｅｅｄ' 1

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
