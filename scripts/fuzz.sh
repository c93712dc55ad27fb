#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
# Usage: scripts/fuzz.sh [seconds-per-target]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
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
