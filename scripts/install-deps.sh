#!/usr/bin/env bash
# Installs what building, testing and running dblogon need on a Debian machine (as root).
# Quick when everything is already there: only missing packages are fetched.
# Usage: scripts/install-deps.sh [windows]
#   windows: also the mingw-w64 cross compiler and Wine, for the windows preset (not needed, and not
#   fetched, by the Linux builds).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev
  nlohmann-json3-dev
  qt6-base-dev libxcb1-dev qt6-translations-l10n
  xvfb xauth
  man-db
  nodejs
)
for extra in "$@"; do
  case "$extra" in
    windows) packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64) ;;
    *) echo "install-deps.sh: unknown part '$extra' (known: windows)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# npm installs the driver the node-oracledb test runs; some Node.js packages bring it along.
if ! command -v npm >/dev/null; then
  echo "Installing: npm"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm
fi
