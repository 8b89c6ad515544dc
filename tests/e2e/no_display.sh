#!/usr/bin/env bash
# Without a display Wine cannot create windows: the launcher stops at its
# first step with exit code 0 and starts nothing. Runs inside tests/with-wine.
#   no_display.sh SETUP_EXE STANDIN_EXE
set -euo pipefail
media=$(mktemp -d /tmp/omrik-media.XXXXXX)
trap 'rm -rf "$media"' EXIT
cp "$1" "$media/Setup.exe"
cp "$2" "$media/_Setup.exe"
cd "$media"
status=0
env -u DISPLAY "$WINE" Setup.exe /qn || status=$?
if [ "$status" != 0 ]; then
    echo "FAIL: exit code $status without a display, expected 0"
    exit 1
fi
if [ -e inner-record.txt ]; then
    echo "FAIL: the inner installer ran without a display: $(tr '\0' '\n' < inner-record.txt)"
    exit 1
fi
# The same medium with a display does run the inner installer, so the check
# above is not passing for another reason.
"$WINE" Setup.exe /qn
if [ ! -e inner-record.txt ]; then
    echo "FAIL: the inner installer did not run with a display either"
    exit 1
fi
echo "PASS: no display, exit code 0, no inner installer"
