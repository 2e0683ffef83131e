#!/usr/bin/env bash
# By hand, not in CI: fuzzes the agent's session for a while, then runs the
# agent benchmark and prints its figures.
#   FUZZ_SECONDS  how long the fuzzer runs (default 60)
#   BENCH_ARGS    extra arguments for agent_bench (see agent_bench --help)
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds="${FUZZ_SECONDS:-60}"
fuzz_build=build-fuzz-agent
bench_build=build-bench-agent

# libFuzzer comes with Debian's clang; only this script needs it.
if ! command -v clang++ >/dev/null 2>&1; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends clang
fi

echo "== fuzzing the agent session for ${fuzz_seconds} s"
cmake -S . -B "$fuzz_build" \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer" \
  -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=ON -DQUORVEL_BUILD_FUZZ=ON >/dev/null
cmake --build "$fuzz_build" --target agentsession_fuzz -j2

# Absolute paths: the fuzz target works from a folder of its own.
fuzz_dir="$PWD/bench/agent/fuzz"
corpus="$PWD/$fuzz_build/agentsession-corpus"
crashes="$PWD/$fuzz_build/agentsession-crashes"
mkdir -p "$corpus" "$crashes"
export QUORVEL_FUZZ_ROOT="${QUORVEL_FUZZ_ROOT:-/tmp/quorvel-agent-fuzz}"
# Qt's warnings about odd names would drown the fuzzer's own lines.
QT_LOGGING_RULES="*.warning=false" \
"$fuzz_build/bench/agent/fuzz/agentsession_fuzz" \
  -max_total_time="$fuzz_seconds" -max_len=20000 -timeout=10 -print_final_stats=1 \
  -dict="$fuzz_dir/agentsession.dict" \
  -artifact_prefix="$crashes/" \
  "$corpus" "$fuzz_dir/corpus"
rm -rf "$QUORVEL_FUZZ_ROOT"

echo
echo "== agent benchmark"
cmake -S . -B "$bench_build" -DCMAKE_BUILD_TYPE=Release \
  -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=ON >/dev/null
cmake --build "$bench_build" --target agent_bench -j2
# shellcheck disable=SC2086
"$bench_build/bench/agent/agent_bench" ${BENCH_ARGS:-}
