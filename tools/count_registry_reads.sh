#!/usr/bin/env bash
# Counts the registry values Setup.exe queries in one installation with
# repairs, from Wine's trace of RegQueryValueExW: a first run where nothing
# is installed before, and a second over the first one's installation (its
# ClientLevel has no "/", so it is not refused and is repaired again).
# Runs inside tests/with-wine:
#   tests/with-wine tools/count_registry_reads.sh build/win
set -euo pipefail
: "${WINE:?run it inside tests/with-wine}"
tree=$(cd "$1" && pwd)
media=$(mktemp -d /tmp/omrik-reads.XXXXXX)
trap 'rm -rf "$media"' EXIT
cp "$tree/bin/Setup.exe" "$tree/standin/_Setup.exe" "$media/"
export STANDIN_REGISTER=1 STANDIN_DIRECTORY='D:\Apps\' STANDIN_CLIENT_LEVEL='VNR 4.50'

count() {
    (cd "$media" && WINEDEBUG=trace+reg "$WINE" ./Setup.exe /s 2>"$media/trace.log" >/dev/null) ||
        true
    # Only the values the launcher reads: the stand-in queries none, but
    # Wine's own libraries in the launcher's process query others. A link
    # check per key name on the way to each per-user key reads
    # SymbolicLinkValue.
    grep -a 'RegQueryValueExW (' "$media/trace.log" |
        sed 's/.*RegQueryValueExW ([0-9A-Fa-fx]*,L\("[^"]*"\).*/\1/' |
        grep -xE '"(ClientLevel|Build Level|Directory|InstallDate|LastUsedSource|1|SymbolicLinkValue)"' |
        sort | uniq -c
}
echo "first run, nothing installed before:"
count
echo "second run, over that installation:"
count
