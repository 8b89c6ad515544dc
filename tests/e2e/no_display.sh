#!/usr/bin/env bash
# Without a display Wine cannot create windows: the launcher stops at its
# first step with the system's error code, never 0, and starts nothing; a
# record asked for says so and ends with that code. Runs inside
# tests/with-wine.
#   no_display.sh SETUP_EXE STANDIN_EXE
set -euo pipefail
media=$(mktemp -d /tmp/omrik-media.XXXXXX)
trap 'rm -rf "$media"' EXIT
cp "$1" "$media/Setup.exe"
cp "$2" "$media/_Setup.exe"
cd "$media"
record=$("$WINE" winepath -w "$media/record.txt" | tr -d '\r')
for asked in no yes; do
    status=0
    if [ "$asked" = yes ]; then
        env -u DISPLAY OMRIK_SETUP_LOG="$record" "$WINE" Setup.exe /qn || status=$?
    else
        env -u DISPLAY "$WINE" Setup.exe /qn || status=$?
    fi
    if [ "$status" = 0 ]; then
        echo "FAIL: exit code 0 without a display (record asked for: $asked)"
        exit 1
    fi
    if [ -e inner-record.txt ]; then
        echo "FAIL: the inner installer ran without a display: $(tr '\0' '\n' < inner-record.txt)"
        exit 1
    fi
done
# The record names the failure and ends with the code the process ended
# with (of which the shell sees the low byte).
last=$(tail -n 1 record.txt | tr -d '\r')
code=$(sed -n 's/.*\] exit code: \([0-9]*\) (not started)$/\1/p' <<< "$last")
if ! grep -q '\] window: not created, error [1-9]' record.txt || [ -z "$code" ] ||
    [ $((code % 256)) != "$status" ]; then
    echo "FAIL: the record does not end with the failed window's exit code $status:"
    cat record.txt
    exit 1
fi
# The same medium with a display does run the inner installer, so the check
# above is not passing for another reason.
"$WINE" Setup.exe /qn
if [ ! -e inner-record.txt ]; then
    echo "FAIL: the inner installer did not run with a display either"
    exit 1
fi
echo "PASS: no display, exit code $code, the record says so, no inner installer"
