#!/usr/bin/env bash
# Pictures of the already-installed dialogs, both forms in every language,
# for translators and reviewers: a built Setup.exe runs from a scratch
# installation medium against a faked installation (version 3.9 for the long
# forms, 4.50 for the short ones) with each /l<id>, and the UI driver
# photographs the dialog and closes it. Writes OUT_DIR/<dialog id>.png.
#   tools/gallery.sh BUILD_ROOT OUT_DIR
# It is the Setup.exe of the Windows tree the test bed runs natively: the
# shipped 32-bit file, or its 64-bit twin, which carries the same resources
# (the test pe_twin_resources).
#
# Setup.exe shows its dialogs through the Unicode dialog call, so the texts
# arrive whole under any locale, but the font they are drawn in depends on
# it. The dialogs ask for the "System" typeface with the default character
# set, and Wine takes that for the character set of the locale's ANSI code
# page: under a plain UTF-8 locale (code page 1252) it picks a Western font,
# in which the Japanese characters are empty boxes. So the Western dialogs
# are shown in a test bed under C.UTF-8, the Japanese ones in a second test
# bed under ja_JP.UTF-8 (code page 932), where Wine picks a font with
# Japanese glyphs from those installed on the machine.
set -euo pipefail

# The languages with a dialog, one resource file resources/dialogs/<id>.rc
# each; all but the Japanese one are shown under the Western locale.
japanese=(1041)
japanese_locale=ja_JP.UTF-8
dialog_languages() {
    local file id
    for file in "$root"/resources/dialogs/*.rc; do
        id=$(basename "$file" .rc)
        [[ $id =~ ^[0-9]+$ ]] && [[ " ${japanese[*]} " != *" $id "* ]] && echo "$id"
    done
    return 0
}

fail() {
    echo "gallery: $*" >&2
    exit 1
}

if [ "${1:-}" != "--inside" ]; then
    [ $# -eq 2 ] || fail "usage: tools/gallery.sh BUILD_DIR OUT_DIR"
    build=$(cd "$1" && pwd)
    mkdir -p "$2"
    out=$(cd "$2" && pwd)
    root=$(cd "$(dirname "$0")/.." && pwd)
    mapfile -t western < <(dialog_languages)
    [ ${#western[@]} -gt 0 ] || fail "no dialog resources in $root/resources/dialogs"
    locale -a | grep -ix 'ja_JP\.utf-\?8' >/dev/null ||
        fail "the $japanese_locale locale is missing; run 'make deps' as root"
    [ -n "$(fc-list :lang=ja family 2>/dev/null)" ] ||
        fail "no font with Japanese glyphs; run 'make deps' as root"
    LC_ALL=C.UTF-8 "$root/tests/with-wine" "$0" --inside "$build" "$out" "${western[@]}"
    LC_ALL=$japanese_locale "$root/tests/with-wine" "$0" --inside "$build" "$out" "${japanese[@]}"
    echo "gallery: $(( 2 * (${#western[@]} + ${#japanese[@]}) )) dialogs in $out"
    exit 0
fi

# Inside a test bed made by tests/with-wine.
shift
build=$1/$SETUP_WINE_TREE
out=$2
shift 2
echo "gallery: dialogs of $build/bin/Setup.exe ($SETUP_WINE_ARCH)"
tools=$(cd "$(dirname "$0")" && pwd)
media=$(mktemp -d /tmp/omrik-gallery.XXXXXX)
trap 'rm -rf "$media"' EXIT
cp "$build/bin/Setup.exe" "$build/standin/_Setup.exe" "$media/"

# A fresh prefix lacks Wine's own Marlett, which draws the caption's close
# button; without it the button shows a plain letter.
marlett=/usr/share/wine/fonts/marlett.ttf
[ -f "$marlett" ] && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"

# The installation as the product leaves it: ClientLevel in the product key
# and the main uninstall key. Setup.exe is 32-bit, hence the 32-bit view.
install_version() {
    local uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
    "$WINE" reg add 'HKLM\SOFTWARE\Omrik\Moltrek' /v ClientLevel /d "$1" /f /reg:32 \
        </dev/null >/dev/null 2>&1 || fail "cannot write ClientLevel"
    "$WINE" reg add "$uninstall\\{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}" /v InstallDate \
        /d 20261208 /f /reg:32 </dev/null >/dev/null 2>&1 || fail "cannot write the uninstall key"
}

# Shows one dialog, photographs it, checks what Setup.exe and the dialog did.
render() {
    local language=$1 dialog=$2
    local bmp=$media/$dialog.bmp listing=$media/$dialog.txt
    rm -f "$bmp"
    (cd "$media" && exec "$WINE" Setup.exe "/l$language" </dev/null >/dev/null 2>&1) &
    local setup=$!
    local driven=0
    "$WINE" "$build/bin/ui_driver.exe" --process Setup.exe --timeout 30000 --close ok \
        --screenshot "$("$WINE" winepath -w "$bmp")" </dev/null >"$listing" 2>/dev/null || driven=$?
    local code=0
    wait "$setup" || code=$?
    [ "$driven" = 0 ] || fail "$dialog: no dialog appeared for /l$language"
    [ "$code" = 1 ] || fail "$dialog: Setup.exe /l$language ended with $code, not 1"
    grep -q 'caption="Omrik Vindara"' "$listing" || fail "$dialog: unexpected window"
    # A text that lost its characters on the way through the code page
    # comes back as question marks.
    if grep -q 'text="[^"]*?' "$listing"; then
        fail "$dialog: characters lost in the code page $(tr -d '\r' <"$listing")"
    fi
    python3 "$tools/bmp_to_png.py" "$bmp" "$out/$dialog.png"
    echo "  $dialog.png"
}

for form in "VNR/3.9 0" "VNR/4.50 4000"; do
    read -r client_level offset <<<"$form"
    install_version "$client_level"
    for language in "$@"; do
        render "$language" $((language + offset))
    done
done
