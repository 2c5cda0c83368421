#!/usr/bin/env bash
# Runs a command with a throwaway PostgreSQL 15 cluster named in PG* (pg_virtualenv), or where
# PostgreSQL 15 is not installed, without one, saying so: the command skips its PostgreSQL cases.
set -euo pipefail
if command -v pg_virtualenv >/dev/null && [ -x /usr/lib/postgresql/15/bin/postgres ]; then
    exec pg_virtualenv -v 15 "$@"
fi
echo "PostgreSQL 15 is not installed: its cases are skipped (scripts/deps all installs it)"
exec "$@"
