#!/usr/bin/env bash
# Builds Setup.exe a second time from a clean tree, with the sources copied to
# another folder, a build folder elsewhere, a later clock and another
# SOURCE_DATE_EPOCH, and compares it byte for byte with the tested one. Any
# time stamp or path that reached the program makes the two differ.
#   reproducible.sh SOURCE_DIR SETUP_EXE BUILD_TYPE
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: reproducible.sh SOURCE_DIR SETUP_EXE BUILD_TYPE" >&2; exit 2; }
source_dir=$1
setup=$2
build_type=$3

scratch=$(mktemp -d /tmp/omrik-reproducible.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# The sources as the build sees them: everything but build trees and ignored
# files, taken from git when the tree is a checkout.
mkdir "$scratch/src"
if git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$source_dir" ls-files -z --cached --others --exclude-standard \
        | (cd "$source_dir" && xargs -0 tar -cf - --no-recursion --ignore-failed-read) \
        | tar -C "$scratch/src" -xif -
else
    tar -C "$source_dir" --exclude='./build' --exclude='./build-*' -cf - . | tar -C "$scratch/src" -xif -
fi

export SOURCE_DATE_EPOCH=86400
cmake -S "$scratch/src" -B "$scratch/other-build" \
    -DCMAKE_TOOLCHAIN_FILE="$scratch/src/cmake/toolchain-mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
cmake --build "$scratch/other-build" --target Setup -j"$(nproc)" >/dev/null
second=$scratch/other-build/bin/Setup.exe

if ! cmp -s "$setup" "$second"; then
    echo "FAIL: a second build of Setup.exe differs from $setup"
    echo "sizes: $(stat -c %s "$setup") and $(stat -c %s "$second") bytes; first differences (offset, bytes in octal):"
    cmp -l "$setup" "$second" | head -n 20 || true
    exit 1
fi
echo "PASS: a second clean build elsewhere gives the same $(stat -c %s "$setup") bytes"
