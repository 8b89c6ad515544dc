#!/usr/bin/env bash
# Line and branch coverage of the pure text logic (the sources of the
# setup_text library, as the build lists them), from clang's source-based
# coverage.
# Usage: coverage.sh BUILD_DIR
# Builds two clang trees with -DSETUP_COVERAGE=ON: BUILD_DIR/native with the
# native tests and BUILD_DIR/fuzz with the fuzz targets. Prints one table for
# the native tests, and one for every fuzz target's seed corpus replayed,
# together with tests/fuzz/corpus-work/<target>/ where a campaign left one.
set -euo pipefail
shopt -s nullglob

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)

# The profile tools must match the compiler's version.
major=$(clang++ -dumpversion | cut -d. -f1)
tool() { command -v "$1-$major" || command -v "$1" || { echo "$1 not found" >&2; exit 1; }; }
profdata=$(tool llvm-profdata)
llvm_cov=$(tool llvm-cov)


build() {  # DIR TARGET... -- CMAKE_OPTION...
    local dir=$1 targets=()
    shift
    while [ "$1" != -- ]; do targets+=(--target "$1"); shift; done
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=Debug -DSETUP_COVERAGE=ON "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)" "${targets[@]}" >"$dir/build.log" ||
        { cat "$dir/build.log"; exit 1; }
}

report() {  # TITLE PROFDATA BINARY...
    local title=$1 data=$2 first=$3 objects=()
    shift 3
    for binary in "$@"; do objects+=(-object "$binary"); done
    printf '\n%s\n' "$title"
    # The fuzz targets share helper names (fuzz_support.h) with different
    # bodies, and the test framework has two such functions; llvm-cov warns
    # about them. The pure files are one library, the same in every binary.
    "$llvm_cov" report "$first" "${objects[@]}" -instr-profile="$data" "${pure[@]}" 2>&1 |
        grep -v 'functions have mismatched data$'
}

profiles=$out/profiles
rm -rf "$profiles"
mkdir -p "$profiles"

build "$out/native" native_tests -- -DSETUP_SANITIZE=OFF -DSETUP_FUZZ=OFF
# The pure sources as the build lists them.
mapfile -t pure <"$out/native/setup_text_sources.txt"
[ ${#pure[@]} -gt 0 ] || { echo "the build lists no setup_text sources" >&2; exit 1; }
native=$out/native/tests/native/native_tests
LLVM_PROFILE_FILE="$profiles/native-%p.profraw" "$native" >"$out/native_tests.log" ||
    { cat "$out/native_tests.log"; exit 1; }
tail -1 "$out/native_tests.log"
"$profdata" merge -sparse "$profiles"/native-*.profraw -o "$out/native.profdata"

build "$out/fuzz" all -- -DSETUP_FUZZ=ON
fuzzers=()
for seeds in "$root"/tests/fuzz/corpus/*/; do
    target=$(basename "$seeds")
    fuzzer=$out/fuzz/tests/fuzz/${target}_fuzz
    inputs=("$seeds"*)
    work=$root/tests/fuzz/corpus-work/$target
    [ -d "$work" ] && inputs+=("$work"/*)
    # Without inputs libFuzzer would start fuzzing instead of replaying.
    [ ${#inputs[@]} -gt 0 ] || { echo "$target: no inputs in $seeds" >&2; exit 1; }
    # Each file is run once, as it is; nothing is mutated or written back.
    LLVM_PROFILE_FILE="$profiles/fuzz-$target.profraw" "$fuzzer" "${inputs[@]}" \
        >"$out/fuzz-$target.log" 2>&1 || { cat "$out/fuzz-$target.log"; exit 1; }
    echo "$target: ${#inputs[@]} inputs replayed"
    fuzzers+=("$fuzzer")
done
"$profdata" merge -sparse "$profiles"/fuzz-*.profraw -o "$out/fuzz.profdata"

report "Native tests:" "$out/native.profdata" "$native"
report "Fuzz corpora replayed:" "$out/fuzz.profdata" "${fuzzers[@]}"
