#!/usr/bin/env bash
# Runs the benchmark inside tests/with-wine (its prefix, display and warm
# wineserver): lays out one installation medium per case in the prefix's
# drive C:, times the runs with bench_runner and summarises them.
#   run_bench.sh [--smoke] [--rounds N] [--pause MS] WINDOWS_BUILD_DIR
# --smoke runs one round without warm-up and keeps no results; otherwise the
# results go to WINDOWS_BUILD_DIR/bench/results (report.md is the summary).
set -euo pipefail

smoke=0
rounds=60
pause=100
while [ $# -gt 1 ]; do
    case "$1" in
        --smoke) smoke=1; shift ;;
        --rounds) rounds=$2; shift 2 ;;
        --pause) pause=$2; shift 2 ;;
        *) echo "run_bench.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[ $# -eq 1 ] || { echo "usage: run_bench.sh [--smoke] [--rounds N] [--pause MS] BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?run it inside tests/with-wine}"

warmup=3
if [ "$smoke" = 1 ]; then
    rounds=1
    warmup=0
    results=$(mktemp -d /tmp/omrik-bench-results.XXXXXX)
    trap 'rm -rf "$results"' EXIT
else
    results=$build/bench/results
    mkdir -p "$results"
fi

setup=$build/bin/Setup.exe
peer=$build/bench/peer/Setup.exe
inner=$build/bench/bench_inner.exe
register=$build/bench/bench_inner_register.exe
hold=$build/bench/bench_inner_hold.exe
nowindow=$build/bench/bench_setup_nowindow.exe
for program in "$setup" "$peer" "$inner" "$register" "$hold" "$nowindow" \
    "$build/bench/bench_probe_imports.exe" "$build/bench/bench_probe_window.exe" \
    "$build/bench/bench_runner.exe"; do
    [ -f "$program" ] || { echo "run_bench.sh: $program is missing; build the tree first" >&2; exit 2; }
done

# One folder per case: the launcher under test beside the inner program it
# starts, as on installation media.
media=$WINEPREFIX/drive_c/omrik-bench
rm -rf "$media"
lay_out() {  # folder launcher inner
    mkdir -p "$media/$1"
    [ -z "$2" ] || cp "$2" "$media/$1/Setup.exe"
    cp "$3" "$media/$1/_Setup.exe"
}
lay_out fresh-limit "" "$inner"
lay_out fresh-peer "$peer" "$inner"
lay_out fresh-setup "$setup" "$inner"
lay_out repair-limit "" "$register"
lay_out repair-peer "$peer" "$register"
lay_out repair-setup "$setup" "$register"
lay_out fresh-nowindow "$nowindow" "$inner"
lay_out hold-limit "" "$hold"
lay_out hold-peer "$peer" "$hold"
lay_out hold-setup "$setup" "$hold"
lay_out hold-nowindow "$nowindow" "$hold"
mkdir -p "$media/probe"
cp "$build/bench/bench_probe_imports.exe" "$media/probe/probe_imports.exe"
cp "$build/bench/bench_probe_window.exe" "$media/probe/probe_window.exe"

status=0
"$WINE" "$build/bench/bench_runner.exe" 'C:\omrik-bench' "$rounds" "$warmup" "$pause" || status=$?
cp "$media/runs.csv" "$media/modules.txt" "$results/"
rm -rf "$media"

imports() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' '
}
{
    for entry in "limit:$inner" "limit-register:$register" "peer:$peer" "Setup.exe:$setup"; do
        name=${entry%%:*}
        file=${entry#*:}
        echo "$name $(stat -c %s "$file") $(imports "$file")"
    done
} > "$results/footprint.txt"
# The size budget the tree was configured with (pe_size's), if it has one.
rm -f "$results/size_budget.txt"
[ ! -f "$build/bench/size_budget.txt" ] || cp "$build/bench/size_budget.txt" "$results/"
if [ "$(x86_64-w64-mingw32-objdump -f "$setup" | grep -c x86-64)" = 0 ]; then
    architecture="32-bit x86: the shipped Setup.exe, a 32-bit NSIS peer and 32-bit inner programs"
else
    architecture="64-bit x86-64: the launcher's 64-bit twin, a 64-bit NSIS peer (amd64-unicode)"
    architecture+=" and 64-bit inner programs"
fi
{
    echo "Architecture: $architecture."
    echo "Machine: $(uname -srm), $(nproc) CPUs ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1))."
    echo "Wine: $("$WINE" --version), NSIS: $(makensis -VERSION)."
    echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC'). Rounds: $rounds after $warmup warm-up rounds, $pause ms pause before every run."
    echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)."
} > "$results/machine.txt"

python3 "$here/stats.py" "$results" | tee "$results/report.md"
if [ "$status" != 0 ]; then
    echo "run_bench.sh: bench_runner reported failed checks (status $status)" >&2
    exit 1
fi
[ "$smoke" = 1 ] || echo "Results in $results"
