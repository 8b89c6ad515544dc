#!/usr/bin/env bash
# The launcher's main job with a real installation, shown in plain words: an
# installation medium with Setup.exe, the demo inner installer and the demo
# product's Windows Installer package; an installation through Wine's own
# Installer, the registry before and after the launcher's repairs, the two
# reports, the refusal of a second installation, the removal through the
# repaired command, and a new installation. The machine policy LogFile asks
# for a record of every run through the launcher; the demo prints what the
# record says about the installation and, at the end, the path and exit code
# of each run. Runs inside tests/with-wine.
#   tools/demo.sh BUILD_ROOT
# The launcher is always the shipped 32-bit Setup.exe (BUILD_ROOT/win); the
# demo's helpers come from the Windows tree the test bed runs natively.
set -euo pipefail
: "${SETUP_WINE_ARCH:?run it inside tests/with-wine}"
root=$(cd "$1" && pwd)
tools=$(cd "$(dirname "$0")" && pwd)
shipped=$root/win/bin/Setup.exe
build=$root/$SETUP_WINE_TREE
if [ "$SETUP_I386" = none ]; then
    echo "demo: this kernel runs no 32-bit programs, so not the shipped Setup.exe;" \
        "run 'make demo' as root once to set up their emulation" >&2
    exit 1
fi
media=$(mktemp -d /tmp/omrik-demo.XXXXXX)
work=$(mktemp -d /tmp/omrik-demo-work.XXXXXX)
trap 'rm -rf "$media" "$work"' EXIT
cp "$shipped" "$build/demo/_Setup.exe" "$build/demo/Omrik Vindara.msi" "$media/"
screenshot=$root/win/already-installed.png

product_key='HKLM\SOFTWARE\Omrik\Moltrek'
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\'
uninstall_key+='{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}'
installer_key='HKCU\Software\Microsoft\Installer\Products\17E2B8D5A49C60F43B2AE8160F7D2C94'

run() {
    # Prints the full exit code of the exact command line given. A program
    # of the medium is named by its full path: by its bare name the program
    # search would look beside run_command.exe first, where the build tree
    # has a Setup.exe of its own.
    local command=$1
    case "$command" in
    Setup.exe* | _Setup.exe*) command="\"$media_path\\${command%% *}\" ${command#* }" ;;
    esac
    RUN_COMMAND="$command" "$WINE" "$build/bin/run_command.exe" | tr -d '\r'
}

show_registry() {
    "$WINE" "$build/bin/show_registry.exe" | tr -d '\r'
}

registry_value() {
    awk -F'\t' -v name="$2" '$1 == name { print $2 }' "$1"
}

side_by_side() {
    # Two "label<TAB>value" listings as one table: value, before, after.
    paste "$1" "$2" | awk -F'\t' '
        { rows[NR] = $1; before[NR] = $2; after[NR] = $4
          if (length($1) > w1) w1 = length($1); if (length($2) > w2) w2 = length($2) }
        END {
          fmt = "  %-" w1 "s  %-" w2 "s  %s\n"
          printf fmt, "value", "Installer and _Setup.exe", "after the repairs"
          for (i = 1; i <= NR; i++) printf fmt, rows[i], before[i], after[i]
        }'
}

box_text() {
    # The caption and the message of the box the UI driver described.
    tr -d '\r' < "$1" | awk '
        /^window / { sub(/.*caption="/, ""); sub(/"$/, ""); print "     [" $0 "]"; next }
        /^  control / {
            inside = 0
            if ($0 !~ /class=Static/ || $0 ~ /text=""$/) next
            sub(/.*text="/, ""); inside = 1
        }
        inside {
            line = $0; end = sub(/"$/, "", line)
            if (line != "" || !end) print "     " line
            if (end) inside = 0
        }'
}

run_with_box() {
    # Runs Setup.exe with the UI driver waiting for its box, which it reads
    # and closes with OK. Extra arguments go to the UI driver.
    local args=$1
    shift
    "$WINE" "$build/bin/ui_driver.exe" --process Setup.exe --timeout 120000 --close ok "$@" > "$work/box.txt" &
    local driver=$!
    echo "   Setup.exe $args -> exit code $(run "Setup.exe $args")"
    wait "$driver" || echo "     (no box appeared)"
    box_text "$work/box.txt"
}

record_lines() {
    # The record's lines of the given names, without the "[pid time] "
    # prefix that every line starts with.
    if [ ! -s "$record" ]; then
        echo "     (no record was written)"
        return
    fi
    tr -d '\r' < "$record" | awk -v names="$1" '
        { line = $0; sub(/^\[[0-9]+ [0-9:.]+\] /, "", line); name = line; sub(/: .*/, "", name) }
        name ~ ("^(" names ")$") { print "     " line }'
}

present_or_absent() {
    if "$@" >/dev/null 2>&1; then echo present; else echo absent; fi
}

product_state() {
    # What makes up the installed product, one "label<TAB>state" line each.
    local folder
    folder=$("$WINE" winepath -u "$1" 2>/dev/null)
    printf 'uninstall key\t%s\n' "$(present_or_absent "$WINE" reg query "$uninstall_key" /reg:32)"
    printf 'product key\t%s\n' "$(present_or_absent "$WINE" reg query "$product_key" /reg:32)"
    printf 'per-user Installer registration\t%s\n' \
        "$(present_or_absent "$WINE" reg query "$installer_key")"
    printf '%s\t%s\n' "${1}readme.txt" "$(present_or_absent test -e "$folder/readme.txt")"
    printf '%s\t%s\n' "${1}Omrik Vindara.msi" \
        "$(present_or_absent test -e "$folder/Omrik Vindara.msi")"
    printf '%s\t%s\n' "$1" "$(present_or_absent test -e "$folder")"
}

list_folder() {
    local folder
    folder=$("$WINE" winepath -u "$1" 2>/dev/null)
    echo "   Files in $1:"
    ls -l "$folder" | awk 'NR > 1 { size = $5; $1 = $2 = $3 = $4 = $5 = $6 = $7 = $8 = "";
                                    sub(/^ +/, ""); printf "     %-20s %6d bytes\n", $0, size }'
}

echo "== Omrik Vindara setup launcher demo: a real installation under Wine"
echo "Installation medium: $media"
if [ "$SETUP_I386" = emulated ]; then
    echo "(This machine runs no 32-bit code of its own: the shipped 32-bit Setup.exe"
    echo "runs through qemu's emulator, some fifteen seconds a start; the helpers are"
    echo "64-bit.)"
fi
ls -l "$media" | awk 'NR > 1 { size = $5; $1 = $2 = $3 = $4 = $5 = $6 = $7 = $8 = "";
                               sub(/^ +/, ""); printf "  %-18s %6d bytes\n", $0, size }'
echo
echo "Setup.exe is the launcher. _Setup.exe is the inner installer: it runs Wine's"
echo "own Windows Installer, msiexec /i with the package beside it, turning /s into"
echo "/qn and passing what follows /v on (a user interface level given there takes"
echo "the place of /qn). After an installation it copies the package into the"
echo "installation directory, where the launcher's repaired removal command will"
echo "look for it."
echo

cd "$media"
media_path=$("$WINE" winepath -w "$media" | tr -d '\r')
media_path=${media_path%\\}
args='/s /v"/qn INSTALLDIR=\"C:\Program Files\Omrik\Vindara\""'

echo "-- 1. The inner installer alone, as a plain installation leaves things"
echo "   _Setup.exe $args -> exit code $(run "_Setup.exe $args")"
show_registry > "$work/installer.txt"
echo "   then removed again: _Setup.exe /s /x -> exit code $(run "_Setup.exe /s /x")"
echo
echo "-- 2. The same installation through the launcher, with a record of the run"
# REG_EXPAND_SZ: the launcher expands %SystemRoot% itself. No cmd stands in
# between here, so nothing expands it before reg stores it.
policy_key='HKLM\SOFTWARE\Policies\Omrik\Vindara\Setup'
record_file='\Temp\Omrik Vindara setup record.log'
record_value="%SystemRoot%$record_file"
echo "   reg add \"$policy_key\" /v LogFile /t REG_EXPAND_SZ /d \"$record_value\" /reg:64 /f"
"$WINE" reg add "$policy_key" /v LogFile /t REG_EXPAND_SZ /d "$record_value" /reg:64 /f >/dev/null
record_path=$("$WINE" cmd /c echo %SystemRoot% | tr -d '\r')$record_file
record=$("$WINE" winepath -u "$record_path" | tr -d '\r')
rm -f "$record"
setup_log=$("$WINE" winepath -u "$("$WINE" cmd /c echo %TEMP% | tr -d '\r')")/"Omrik Vindara setup.log"
rm -f "$setup_log"
echo "   Setup.exe $args -> exit code $(run "Setup.exe $args")"
echo "   _Setup.exe's log of what it was given and what it ran:"
tr -d '\r' < "$setup_log" | sed 's/^/     /'
# The record holds this one run so far: the later runs append to it.
echo "   The launcher's record of this run, $(wc -l < "$record") lines in"
echo "   $record_path;"
echo "   its decision, inner installer, repairs and exit code:"
record_lines 'path|why|inner (command|process|run|exit code|error)|repairs|write .*|exit code'
show_registry > "$work/launcher.txt"
directory=$(registry_value "$work/launcher.txt" Directory)
list_folder "$directory"
echo
echo "-- The product's registry values: as Wine's Installer and _Setup.exe leave"
echo "   them, and after the launcher's repairs (Build Level, the source list,"
echo "   UninstallString, ModifyPath, LocalPackage)"
side_by_side "$work/installer.txt" "$work/launcher.txt"
echo "   Wine's Installer wrote InstallDate, UninstallString, ModifyPath and the"
echo "   source list (naming the medium) itself; LastUsedSource and Net 1 are"
echo "   added by _Setup.exe only when the Installer leaves them out."
echo
echo "-- 3. The reports, as their boxes show them"
run_with_box /vd
run_with_box /bl
echo
echo "-- 4. A second installation is refused"
run_with_box '/s /v"/qn"' --screenshot "$("$WINE" winepath -w "$work/box.bmp")"
if [ -s "$work/box.bmp" ]; then
    python3 "$tools/bmp_to_png.py" "$work/box.bmp" "$screenshot"
    echo "   Screenshot of the dialog: $screenshot"
fi
echo
echo "-- 5. Removal with the repaired UninstallString"
uninstall=$(registry_value "$work/launcher.txt" UninstallString)
echo "   UninstallString: $uninstall"
echo "   The list of installed programs runs this text as it stands, and msiexec"
echo "   shows its own user interface: on Windows a confirmation first, while Wine's"
echo "   Installer shows no window for this package. /qn appended after the package"
echo "   makes the same removal unattended, as an administrator's script does it."
product_state "$directory" > "$work/before-removal.txt" 2>/dev/null
echo "   $uninstall /qn -> exit code $(run "$uninstall /qn")"
echo
echo "-- 6. The product is gone"
product_state "$directory" > "$work/after-removal.txt" 2>/dev/null
paste "$work/before-removal.txt" "$work/after-removal.txt" | awk -F'\t' '
    { rows[NR] = $1; before[NR] = $2; after[NR] = $4; if (length($1) > w) w = length($1) }
    END {
      fmt = "  %-" w "s  %-16s %s\n"
      printf fmt, "", "before removal", "after removal"
      for (i = 1; i <= NR; i++) printf fmt, rows[i], before[i], after[i]
    }'
echo
echo "-- 7. Setup.exe installs again, now without INSTALLDIR (the 32-bit package"
echo "   goes to the 32-bit Program Files)"
echo "   Setup.exe /s /v\"/qn\" -> exit code $(run 'Setup.exe /s /v"/qn"')"
show_registry > "$work/again.txt"
for name in ClientLevel Directory "Build Level" UninstallString; do
    printf '   %-16s %s\n' "$name" "$(registry_value "$work/again.txt" "$name")"
done
echo
echo "-- 8. The record now holds every run through the launcher, one after the"
echo "   other; each run's path and exit code by its process id (on Windows"
echo "   findstr /l /c:\"] path: \" /c:\"] exit code: \" <record> picks these lines)"
if [ -s "$record" ]; then
    tr -d '\r' < "$record" | awk '
        BEGIN { printf "     %-8s %-14s %s\n", "process", "path", "exit code" }
        match($0, /^\[[0-9]+ [0-9:.]+\] (path|exit code): /) {
            id = substr($0, 2, index($0, " ") - 2); line = substr($0, RLENGTH + 1)
            if ($0 ~ /\] path: /) path[id] = line
            else printf "     %-8s %-14s %s\n", id, path[id], line
        }'
else
    echo "     (no record was written)"
fi
