#!/usr/bin/env bash
# Runs node-oracledb in Thick mode against a fresh ociemu demo home.
# Usage: scripts/node-oracledb.sh INSTALL_DIR OCIEMU_ADMIN
# Installs the pinned oracledb package (tests/nodeoracledb/package-lock.json) from npm into
# INSTALL_DIR, makes a demo home with OCIEMU_ADMIN in a temporary folder and runs
# tests/nodeoracledb/ThickMode.js on it. Exits 77 (skipped) only when npm cannot reach its
# registry. NODE_PRELOAD names libraries node loads first (the sanitizer runtimes of an
# instrumented client).
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../tests/nodeoracledb" && pwd)"
install_dir="$1"
admin="$2"

if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "node-oracledb test needs node and npm (scripts/install-deps.sh installs them)" >&2
  exit 1
fi

mkdir -p "$install_dir"
cp "$source_dir/package.json" "$source_dir/package-lock.json" "$install_dir/"
if [ ! -d "$install_dir/node_modules/oracledb" ] ||
   ! cmp -s "$source_dir/package-lock.json" "$install_dir/node_modules/.package-lock.json.pinned"; then
  if ! npm ping --silent >/dev/null 2>&1; then
    echo "SKIPPED: npm cannot reach its registry, so node-oracledb cannot be installed"
    exit 77
  fi
  (cd "$install_dir" && npm ci --no-audit --no-fund --loglevel=error)
  cp "$source_dir/package-lock.json" "$install_dir/node_modules/.package-lock.json.pinned"
fi

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
"$admin" demo-home "$home" >/dev/null
NODE_PATH="$install_dir/node_modules" LD_PRELOAD="${NODE_PRELOAD:-}" \
  node "$source_dir/ThickMode.js" "$home"
