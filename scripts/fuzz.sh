#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
# Usage: scripts/fuzz.sh [seconds-per-target]   (default 60)
#        scripts/fuzz.sh --total SECONDS        (the time shared evenly by all targets; CI uses
#                                               this, so that new targets do not make it longer)
set -euo pipefail
cd "$(dirname "$0")/.."
total=
if [ "${1:-}" = "--total" ]; then
  total=${2:?"--total needs a number of seconds"}
fi
seconds=${1:-60}
scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
shopt -s nullglob
fuzzers=(build/fuzz/fuzzers/fuzz_*)
if ((${#fuzzers[@]} == 0)); then
  echo "no fuzz targets"
  exit 0
fi
if [ -n "$total" ]; then
  seconds=$((total / ${#fuzzers[@]}))
  ((seconds > 0)) || seconds=1
fi
for f in "${fuzzers[@]}"; do
  name=$(basename "$f")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  echo "=== $name for ${seconds}s"
  "$f" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "$corpus" "${seeds[@]}" 2>&1 | tail -n 12
done
