#!/usr/bin/env bash
# The launcher's main job, shown in plain words: an installation medium with
# Setup.exe and an inner installer that registers the product, one run, and
# the product's registry values before and after. Runs inside tests/with-wine.
#   tools/demo.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
media=$(mktemp -d /tmp/omrik-demo.XXXXXX)
trap 'rm -rf "$media"' EXIT
cp "$build/bin/Setup.exe" "$build/standin/_Setup.exe" "$media/"

show_registry() {
    wine "$build/bin/show_registry.exe" | tr -d '\r'
}

side_by_side() {
    # Two "label<TAB>value" listings as one table: value, before, after.
    paste "$1" "$2" | awk -F'\t' '
        { rows[NR] = $1; before[NR] = $2; after[NR] = $4
          if (length($1) > w1) w1 = length($1); if (length($2) > w2) w2 = length($2) }
        END {
          fmt = "  %-" w1 "s  %-" w2 "s  %s\n"
          printf fmt, "value", "installer alone", "through Setup.exe"
          for (i = 1; i <= NR; i++) printf fmt, rows[i], before[i], after[i]
        }'
}

echo "== Omrik Vindara setup launcher demo"
echo "Installation medium: $media"
ls -l "$media" | awk 'NR > 1 { printf "  %-12s %6d bytes\n", $9, $5 }'
echo
echo "The inner installer here is a stand-in: it records the command line it"
echo "receives and registers the product the way a completed installation does."
echo

run() {
    # Prints the full exit code of the exact command line given.
    RUN_COMMAND="$1" wine "$build/bin/run_command.exe" | tr -d '\r'
}

cd "$media"
args='/s /v"/qn INSTALLDIR=\"C:\Program Files\Omrik\Vindara\""'

echo "-- 1. The inner installer alone, as a plain installation would leave things"
echo "   _Setup.exe $args -> exit code $(STANDIN_REGISTER=1 run "_Setup.exe $args")"
show_registry > "$media/installer.txt"
echo "   (then removed again: _Setup.exe /x -> exit code $(STANDIN_REGISTER=1 run "_Setup.exe /x"))"
rm -f inner-record.txt
echo
echo "-- 2. The same installation through the launcher"
echo "   Setup.exe $args"
code=$(STANDIN_REGISTER=1 run "Setup.exe $args")
echo "   Setup.exe ended with exit code $code"
echo "   The inner installer was started with the command line:"
tr '\0' '\n' < inner-record.txt | sed 's/^/     /'
show_registry > "$media/launcher.txt"
echo
echo "-- The product's registry values: as the installer leaves them, and after"
echo "   the launcher's repairs (Build Level, the source list, UninstallString,"
echo "   ModifyPath, LocalPackage)"
side_by_side "$media/installer.txt" "$media/launcher.txt"
