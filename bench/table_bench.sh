#!/usr/bin/env bash
# The table's load run: verified submissions a second of distinct real 30-shot codes, and reads
# a second of its pages with their 99th percentile, with wrk over keep-alive connections against
# kestrilon-table on this machine, on SQLite and (where PostgreSQL 15 is installed) on a
# throwaway PostgreSQL cluster; the processor time each costs the server and its workers (the
# database server's own not counted); and the server's peak memory. Not a test: it asserts
# nothing.
#   bench/table_bench.sh [--seconds N] [--connections N]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=10
connections=16
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --connections) connections=$2; shift 2 ;;
    --engine) engine=$2; shift 2 ;;
    *) echo "usage: bench/table_bench.sh [--seconds N] [--connections N]" >&2; exit 2 ;;
  esac
done

work=$(mktemp -d)
server_pid=
stop_server() {
  [ -n "$server_pid" ] || return 0
  kill -TERM "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=
}
trap 'stop_server; rm -rf "$work"' EXIT

# Inside pg_virtualenv the script runs once more, for PostgreSQL alone.
if [ "${engine:-}" != postgres ]; then
  scripts/deps bench >/dev/null
  cmake --preset release >/dev/null
  cmake --build --preset release -j2 --target kestrilon-table kestrilon-sim kestrilon-bench-codes >/dev/null
  cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
  echo "Machine: $cpu, $(nproc) cores, Linux $(uname -r), load average $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "wrk -t2 -c$connections, ${seconds} s a run, server and wrk on the same cores; $(date -u "+%Y-%m-%d %H:%M UTC")"
  echo
  echo "| engine | verified submissions/s | CPU a submission | reads/s (50 rows) | CPU a read | read p50 | read p99 | peak RSS server | peak RSS a worker |"
  echo "|---|---|---|---|---|---|---|---|---|"
fi
bin=build/release/bin
build/release/bin/kestrilon-bench-codes 60000 1000000 >"$work/codes"

# The processor time of the server and its workers so far, in clock ticks: with the count of
# requests, what one costs, whatever else the machine runs meanwhile.
cpu_ticks() {
  local total
  total=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  for child in $(cat "/proc/$1/task/$1/children"); do
    total=$((total + $(awk '{ print $14 + $15 }' "/proc/$child/stat")))
  done
  echo "$total"
}

run() { # run <engine> <storage options…>
  local name=$1
  shift
  "$bin/kestrilon-table" --listen 127.0.0.1:18931 --rate 0 --workers "$(nproc)" \
    --page "$work" "$@" 2>/dev/null &
  server_pid=$!
  for _ in $(seq 100); do
    curl -sf http://127.0.0.1:18931/healthz >/dev/null && break
    sleep 0.1
  done
  local before after
  before=$(cpu_ticks "$server_pid")
  CODES=$work/codes THREADS=2 wrk -t2 -c"$connections" -d"${seconds}s" -s bench/table_submit.lua \
    http://127.0.0.1:18931 >"$work/submit"
  after=$(cpu_ticks "$server_pid")
  local created
  created=$(sed -n 's/^status 201 //p' "$work/submit")
  local submit_cpu
  submit_cpu=$(awk -v t="$((after - before))" -v n="${created:-1}" -v hz="$(getconf CLK_TCK)" \
                 'BEGIN { printf "%.3f", t * 1000 / hz / n }')
  before=$(cpu_ticks "$server_pid")
  local submissions
  submissions=$(awk -v n="${created:-0}" -v s="$seconds" 'BEGIN { printf "%.0f", n / s }')
  wrk -t2 -c"$connections" -d"${seconds}s" --latency -s bench/table_read.lua \
    http://127.0.0.1:18931 >"$work/read"
  after=$(cpu_ticks "$server_pid")
  local reads p50 p99 rss worker read_cpu
  reads=$(sed -n 's/^Requests\/sec: *//p' "$work/read")
  read_cpu=$(awk -v t="$((after - before))" -v n="$(awk '/requests in/ { print $1 }' "$work/read")" \
               -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.3f", t * 1000 / hz / n }')
  p50=$(awk '$1 == "50%" { print $2 }' "$work/read")
  p99=$(awk '$1 == "99%" { print $2 }' "$work/read")
  rss=$(awk '/VmHWM/ { printf "%.1f MiB", $2 / 1024 }' "/proc/$server_pid/status")
  worker=$(for child in $(cat "/proc/$server_pid/task/$server_pid/children"); do
             awk '/VmHWM/ { print $2 }' "/proc/$child/status"; done |
           sort -n | tail -n1 | awk '{ printf "%.1f MiB", $1 / 1024 }')
  stop_server
  echo "| $name | $submissions | $submit_cpu ms | ${reads%.*} | $read_cpu ms | $p50 | $p99 | $rss | $worker |"
  grep -v '^status 201' "$work/submit" | sed -n 's/^status /  other answers to submissions: /p' >&2
}

if [ "${engine:-}" != postgres ]; then
  run "SQLite (WAL)" --data "$work/sqlite"
  if command -v pg_virtualenv >/dev/null && [ -x /usr/lib/postgresql/15/bin/postgres ]; then
    pg_virtualenv -v 15 "$0" --engine postgres --seconds "$seconds" --connections "$connections" \
      2>/dev/null | grep '^|'
  else
    echo "| PostgreSQL 15 | not installed | | | | | | | |"
  fi
else
  run "PostgreSQL 15" --database postgresql://
fi
