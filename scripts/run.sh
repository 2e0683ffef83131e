#!/usr/bin/env bash
# Builds Quorvel, lays out the console folder under dist/ and starts the
# console there, with the folder's own agent serving 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --install build --prefix "$PWD/dist"

agent_pid=
if [ -x dist/Terminal/tarrow ]; then
  dist/Terminal/tarrow &
  agent_pid=$!
fi
cleanup() { [ -n "$agent_pid" ] && kill "$agent_pid" 2>/dev/null || true; }
trap cleanup EXIT
dist/quorvel "$@"
