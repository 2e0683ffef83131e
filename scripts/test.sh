#!/usr/bin/env bash
# Builds Quorvel and runs the whole test suite under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cd build
# Window tests look windows up by title, so the tests run one after another
# on one X server of their own.
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  ctest --output-on-failure --timeout 600 "$@"
