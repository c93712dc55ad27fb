#!/usr/bin/env bash
# Builds and runs every test: the default preset, then the sanitizer preset.
# Usage: scripts/test.sh [preset...]   (default: default asan)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

presets=("$@")
((${#presets[@]})) || presets=(default asan)

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset: tests"
  ctest --preset "$preset"
done
