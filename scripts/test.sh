#!/usr/bin/env bash
# Builds and runs every test: the default preset, then the sanitizer preset.
# Usage: scripts/test.sh [preset...]   (default: default asan; "windows" cross-builds and runs
# the tests under Wine)
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
((${#presets[@]})) || presets=(default asan)
parts=()
for preset in "${presets[@]}"; do
  [ "$preset" = windows ] && parts+=(windows)
done
scripts/install-deps.sh "${parts[@]}"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset: tests"
  ctest --preset "$preset"
done
