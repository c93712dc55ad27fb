#!/usr/bin/env bash
# Builds the Debian packages of a configured and built tree and checks what they hold, unpacked
# into a scratch folder: the program runs (--version, --help, a batch logon on the packaged demo
# home), the man page renders, the documentation is there.
# Usage: scripts/check-packages.sh [build-folder]   (default: build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
packages="$build/packages"
rm -rf "$packages"
(cd "$build" && cpack -G DEB -B packages >/dev/null)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for deb in "$packages"/*.deb; do
  echo "--- $(basename "$deb")"
  dpkg-deb --field "$deb" Package Version Depends
  dpkg -x "$deb" "$scratch"
done

fail() { echo "check-packages: $*" >&2; exit 1; }
root="$scratch/usr"
for file in bin/dblogon share/man/man1/dblogon.1 share/doc/dblogon/README.md \
            bin/ociemu-admin lib/dblogon/demo-home/lib/libclntsh.so \
            lib/dblogon/demo-home/network/admin/tnsnames.ora lib/dblogon/demo-home/oradata/demo.db; do
  [ -e "$root/$file" ] || fail "missing /usr/$file"
done

"$root/bin/dblogon" --version | grep -q '^dblogon [0-9]' || fail "--version"
"$root/bin/dblogon" --help | grep -q -- '--targets FILE' || fail "--help"
MANPATH="$root/share/man" MANWIDTH=80 man dblogon 2>/dev/null | grep -q 'EXIT STATUS' ||
  fail "man dblogon does not render"
# The packaged program over the packaged emulated client.
ORACLE_HOME="$root/lib/dblogon/demo-home" "$root/bin/dblogon" --batch --format json \
  UserId=scott/tiger@DEMO UserId=scott/wrong@DEMO >"$scratch/run.json" && fail "exit status 0"
grep -q '"target":"scott@DEMO".*"connected":true' "$scratch/run.json" || fail "demo logon"
grep -q 'ORA-01017' "$scratch/run.json" || fail "demo wrong password"
echo "check-packages: $(ls "$packages"/*.deb | wc -l) packages good"
