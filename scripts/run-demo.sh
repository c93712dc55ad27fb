#!/usr/bin/env bash
# Builds dblogon and runs it on the demo Oracle home (the emulated client with its demo database).
# Arguments are passed on to dblogon, e.g.:  scripts/run-demo.sh --console
#                                             scripts/run-demo.sh --batch UserId=scott/tiger@DEMO
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
home="$PWD/build/default/demo-home"
if [ ! -f "$home/lib/libclntsh.so" ]; then
  echo "The demo home was not built: $home" >&2
  exit 1
fi
export ORACLE_HOME="$home"
unset TNS_ADMIN
# An empty database field means the local default database, as with a real client.
export ORACLE_SID=demo
exec build/default/app/dblogon "$@"
