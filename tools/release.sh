#!/usr/bin/env bash
# Signs the shipped Setup.exe with Authenticode (SHA-256) and writes three
# files to OUT_DIR: Setup.exe, Setup.exe.sha256 (sha256sum -c checks it)
# and Setup.exe.buildinfo.txt (commit, version, toolchain, signer). The key
# comes from the environment, never from the command line:
#   SIGN_PKCS12 + SIGN_PASSWORD_FILE             a .pfx/.p12 and its passphrase
#   SIGN_PKCS11_MODULE + SIGN_PKCS11_KEY + SIGN_CERT [+ SIGN_PASSWORD_FILE]
#                                                a token's key (pkcs11: URI), its
#                                                certificate chain (PEM), the PIN
#   SIGN_CERT + SIGN_KEY [+ SIGN_PASSWORD_FILE]  PEM certificate and key
#   none of them                                 a throwaway test certificate
# SIGN_TIMESTAMP_URL names an RFC 3161 time-stamping server; SIGN_CA the
# roots the signature is verified against (else the system's), SIGN_TSA_CA
# those of the timestamp. The file without its signature must be the
# build's bytes and, unless RELEASE_REPRODUCED says a test just checked it,
# those of a clean rebuild. Any failure leaves none of the three files.
#   tools/release.sh SOURCE_DIR BUILD_DIR OUT_DIR
#   tools/release.sh --check OUT_DIR   only empty OUT_DIR of them and check
#                                      the SIGN_* settings (before a build)
set -euo pipefail

fail() { echo "release: FAIL: $*" >&2; exit 1; }
say() { echo "release: $*"; }
given() { [ -n "${!1:-}" ]; }

# The settings are checked before anything is built or signed, so a typo
# costs no build. Empty counts as unset (the tests clear them so).
check_settings() {
    local name
    if given SIGN_PKCS12; then
        for name in SIGN_CERT SIGN_KEY SIGN_PKCS11_MODULE SIGN_PKCS11_KEY; do
            given "$name" && fail "SIGN_PKCS12 and $name both given: the PKCS#12 file holds" \
                "the certificate and the key; set one signing path"
        done
        given SIGN_PASSWORD_FILE ||
            fail "SIGN_PKCS12 needs SIGN_PASSWORD_FILE, a file holding its passphrase"
        path=pkcs12
    elif given SIGN_PKCS11_MODULE || given SIGN_PKCS11_KEY; then
        given SIGN_KEY && fail "SIGN_KEY and SIGN_PKCS11_* both given: set one signing path"
        for name in SIGN_PKCS11_MODULE SIGN_PKCS11_KEY SIGN_CERT; do
            given "$name" || fail "PKCS#11 signing needs SIGN_PKCS11_MODULE, SIGN_PKCS11_KEY" \
                "and SIGN_CERT (the certificate chain, PEM); $name is not set"
        done
        [[ $SIGN_PKCS11_KEY == pkcs11:* ]] ||
            fail "SIGN_PKCS11_KEY=$SIGN_PKCS11_KEY is not a pkcs11: URI"
        # The URI reaches osslsigncode's command line, where anyone sees it.
        [[ $SIGN_PKCS11_KEY != *pin-value=* ]] ||
            fail "SIGN_PKCS11_KEY holds the PIN (pin-value): put it in SIGN_PASSWORD_FILE"
        path=pkcs11
    elif given SIGN_CERT || given SIGN_KEY; then
        given SIGN_CERT && given SIGN_KEY ||
            fail "SIGN_CERT and SIGN_KEY go together (PEM certificate and key); one is not set"
        path=pem
    else
        for name in SIGN_PASSWORD_FILE SIGN_CA; do
            given "$name" && fail "$name given but no key to sign with (SIGN_PKCS12," \
                "SIGN_PKCS11_MODULE/SIGN_PKCS11_KEY or SIGN_CERT/SIGN_KEY)"
        done
        path="test certificate"
    fi
    if given SIGN_TIMESTAMP_URL; then
        [[ $SIGN_TIMESTAMP_URL =~ ^https?:// ]] ||
            fail "SIGN_TIMESTAMP_URL=$SIGN_TIMESTAMP_URL is not an http:// or https:// URL"
    elif given SIGN_TSA_CA; then
        fail "SIGN_TSA_CA given but no SIGN_TIMESTAMP_URL to fetch a timestamp from"
    fi
    # The passphrase may come through a pipe, as from <(...).
    for name in SIGN_PKCS12 SIGN_CERT SIGN_KEY SIGN_PKCS11_MODULE SIGN_CA SIGN_TSA_CA \
        SIGN_PASSWORD_FILE; do
        if given "$name" && { [ ! -f "${!name}" ] || [ ! -r "${!name}" ]; } &&
            ! { [ "$name" = SIGN_PASSWORD_FILE ] && [ -p "${!name}" ]; }; then
            fail "$name=${!name}: no such readable file"
        fi
    done
}

# Whatever an earlier run left goes first: after a failure nothing there
# may pass for this run's result.
clear_out() {
    mkdir -p "$1"
    rm -f "$1/Setup.exe" "$1/Setup.exe.sha256" "$1/Setup.exe.buildinfo.txt"
}
if [ "${1:-}" = --check ] && [ $# -eq 2 ]; then
    clear_out "$2"
    check_settings
    exit 0
fi
[ $# -eq 3 ] || { echo "usage: tools/release.sh SOURCE_DIR BUILD_DIR OUT_DIR" >&2; exit 2; }
source_dir=$1
build_dir=$2
out=$3
setup=$build_dir/bin/Setup.exe
header=$build_dir/generated/setup_version.h
cache=$build_dir/CMakeCache.txt
clear_out "$out"
check_settings

[ -f "$setup" ] || fail "no $setup: build the tree first"
[ -f "$cache" ] || fail "no $cache: configure the tree first"
[ -f "$header" ] || fail "no $header: configure the tree with a CMake that generates it"
define() { sed -n "s/^#define $1 \"\\(.*\\)\"[[:space:]]*\$/\\1/p" "$header" | sed -n 1p; }
version=$(define SETUP_VERSION)
build_date=$(define SETUP_BUILD_DATE)
[ -n "$version" ] && [ -n "$build_date" ] ||
    fail "$header lacks SETUP_VERSION or SETUP_BUILD_DATE"
for tool in osslsigncode openssl setsid; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (tools/install-deps release)"
done

# Signed and checked in a staging folder inside OUT_DIR, so that the files
# are renamed into place, never copied half-way, and only at the end.
staging=$(mktemp -d "$out/.release.XXXXXX")
scratch=$staging/work
mkdir "$scratch"
trap 'rm -rf "$staging"' EXIT

# osslsigncode never asks: without a controlling terminal and with stdin
# empty, a wrong passphrase or PIN fails instead of prompting.
quiet_ossl() { setsid -w osslsigncode "$@" </dev/null; }

sign=(-h sha256 -n "Omrik Vindara Setup")
case $path in
pkcs12)
    say "signing with the PKCS#12 file $SIGN_PKCS12"
    sign+=(-pkcs12 "$SIGN_PKCS12" -readpass "$SIGN_PASSWORD_FILE") ;;
pkcs11)
    say "signing with the token key $SIGN_PKCS11_KEY through $SIGN_PKCS11_MODULE"
    sign+=(-pkcs11module "$SIGN_PKCS11_MODULE" -key "$SIGN_PKCS11_KEY" -certs "$SIGN_CERT")
    given SIGN_PASSWORD_FILE && sign+=(-readpass "$SIGN_PASSWORD_FILE") ;;
pem)
    say "signing with $SIGN_CERT and $SIGN_KEY"
    sign+=(-certs "$SIGN_CERT" -key "$SIGN_KEY")
    given SIGN_PASSWORD_FILE && sign+=(-readpass "$SIGN_PASSWORD_FILE") ;;
*)
    {
        echo "release: ****************************************************************"
        echo "release: NO SIGNING KEY GIVEN: signing with a throwaway self-signed TEST"
        echo "release: certificate. $out/Setup.exe is FOR TESTING ONLY, NOT FOR SHIPPING."
        echo "release: ****************************************************************"
    } >&2
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout "$scratch/test-key.pem" \
        -out "$scratch/test-cert.pem" -subj "/O=Omrik/CN=Omrik Vindara test signing" \
        -addext "extendedKeyUsage=codeSigning" 2>/dev/null
    sign+=(-certs "$scratch/test-cert.pem" -key "$scratch/test-key.pem") ;;
esac
if given SIGN_TIMESTAMP_URL; then
    say "time-stamping at $SIGN_TIMESTAMP_URL"
    sign+=(-ts "$SIGN_TIMESTAMP_URL")
else
    say "WARNING: no SIGN_TIMESTAMP_URL: signing WITHOUT a timestamp; the signature" \
        "stops validating when the certificate expires"
fi

signed=$staging/Setup.exe
if ! quiet_ossl sign "${sign[@]}" -in "$setup" -out "$signed" >"$scratch/sign.txt" 2>&1; then
    log=$(cat "$scratch/sign.txt")
    case $log in
    *"PIN incorrect"*) fail "the token refused the PIN in $SIGN_PASSWORD_FILE (wrong PIN)" ;;
    *"PIN locked"*) fail "the token's PIN is locked" ;;
    *"Wrong password"* | *"mac verify failure"*)
        given SIGN_PASSWORD_FILE ||
            fail "${SIGN_KEY:-the key} is encrypted: name its passphrase file in SIGN_PASSWORD_FILE"
        fail "wrong passphrase in $SIGN_PASSWORD_FILE for ${SIGN_PKCS12:-${SIGN_KEY:-the key}}" ;;
    *"timestamping failed"* | *"Failed to get data from"*)
        fail "no timestamp from $SIGN_TIMESTAMP_URL (the server is unreachable or refused)" ;;
    *"PKCS11_CTX_load"* | *"Failed to load PKCS#11 module"* | *"unable to load module"*)
        fail "could not load the PKCS#11 module $SIGN_PKCS11_MODULE" ;;
    *"invalid engine"* | *"ENGINE_by_id"* | *"Failed to load engine"* | *"could not load the shared library"*)
        fail "OpenSSL has no pkcs11 engine (install libengine-pkcs11-openssl)" ;;
    *"private key was not found"* | *"Failed to load private key"*)
        fail "no private key at $SIGN_PKCS11_KEY (or the token refused it)" ;;
    esac
    sed 's/^/  /' "$scratch/sign.txt" >&2
    fail "osslsigncode could not sign $setup (its output is above)"
fi

# The signature against SIGN_CA (the test certificate is its own root),
# and the timestamp against SIGN_TSA_CA: osslsigncode verify exits 0 even
# when the timestamp fails, so its verdict line is read.
# In a variable: an apostrophe inside "${...:-...}" would open a quote.
system_roots="the system's roots"
verify=()
if [ "$path" = "test certificate" ]; then
    verify+=(-CAfile "$scratch/test-cert.pem")
elif given SIGN_CA; then
    verify+=(-CAfile "$SIGN_CA")
fi
given SIGN_TSA_CA && verify+=(-TSA-CAfile "$SIGN_TSA_CA")
verified=$scratch/verify.txt
if ! quiet_ossl verify "${verify[@]}" -in "$signed" >"$verified" 2>&1 ||
    ! grep -qx 'Signature verification: ok' "$verified"; then
    sed 's/^/  /' "$verified" >&2
    fail "the signature does not verify against ${SIGN_CA:-$system_roots}"
fi
if given SIGN_TIMESTAMP_URL &&
    ! grep -qx 'Timestamp Server Signature verification: ok' "$verified"; then
    sed 's/^/  /' "$verified" >&2
    fail "the timestamp from $SIGN_TIMESTAMP_URL does not verify against" \
        "${SIGN_TSA_CA:-$system_roots}"
fi

quiet_ossl remove-signature -in "$signed" -out "$scratch/unsigned.exe" >/dev/null 2>&1 ||
    fail "osslsigncode could not take the signature off again"
cmp -s "$scratch/unsigned.exe" "$setup" || fail "the signed file without its signature is not $setup"
# The tests set RELEASE_REPRODUCED where another test has just built the
# file a second time from clean sources; make release checks it here.
if [ -z "${RELEASE_REPRODUCED:-}" ]; then
    "$source_dir/tests/pe/reproducible.sh" "$source_dir" "$scratch/unsigned.exe" Release ||
        fail "a clean rebuild from the sources does not give the same bytes"
fi

# The signer is the signature's certificate whose serial the verifier
# names under "Signer's certificate".
serial=$(awk '/^Signer.s certificate:/ { s = 1 } s && $1 == "Serial" { print $3; exit }' "$verified")
quiet_ossl extract-signature -pem -in "$signed" -out "$scratch/signature.pem" >/dev/null 2>&1
openssl pkcs7 -in "$scratch/signature.pem" -print_certs 2>/dev/null |
    awk -v dir="$scratch" '/BEGIN CERT/ { n++ } n { print > (dir "/cert" n ".pem") }'
signer_subject=
signer_fingerprint=
for cert in "$scratch"/cert*.pem; do
    [ -f "$cert" ] || continue
    if [ "$(openssl x509 -in "$cert" -noout -serial)" = "serial=$serial" ]; then
        signer_subject=$(openssl x509 -in "$cert" -noout -subject -nameopt RFC2253 | sed 's/^subject=//')
        signer_fingerprint=$(openssl x509 -in "$cert" -noout -fingerprint -sha256 | sed 's/^.*=//')
    fi
done
[ -n "$signer_fingerprint" ] || fail "the signer's certificate (serial $serial) is not in the signature"

# The tools the tree was built with: CMake caches the linker; the compilers
# a toolchain file names are kept in the tree's compiler records instead.
cmake_value() {
    local value
    value=$(sed -n "s/^$1:[A-Z]*=//p" "$cache" 2>/dev/null | sed -n 1p)
    if [ -z "$value" ]; then
        value=$(find -H "$build_dir/CMakeFiles" -maxdepth 2 -name 'CMake*Compiler.cmake' -print0 \
            2>/dev/null | sort -zV | xargs -0r sed -n "s/^set($1 \"\\(.*\\)\")\$/\\1/p" |
            tail -n 1)
    fi
    [ -z "$value" ] || command -v "$value" || echo "$value"
}
first_line() { { "$@" 2>&1 || true; } | sed -n 1p; }
tool_line() {
    local tool
    tool=$(cmake_value "$2")
    if [ -n "$tool" ] && [ -x "$tool" ]; then
        echo "$1: $tool"
        echo "$1 version: $(first_line "$tool" --version)"
    else
        echo "$1: unknown ($2 not found in $build_dir)"
    fi
}
if git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    commit=$(git -C "$source_dir" rev-parse HEAD)
    changed=$(git -C "$source_dir" status --porcelain | wc -l)
    if [ "$changed" -gt 0 ]; then
        commit="$commit-dirty"
        tree_state="uncommitted changes ($changed paths changed or untracked)"
    else
        tree_state="clean"
    fi
else
    commit=unknown
    tree_state="not a git checkout"
fi
timestamp_time=$(sed -n 's/^[[:space:]]*Timestamp time: //p' "$verified" | sed -n 1p)

(cd "$staging" && sha256sum Setup.exe >Setup.exe.sha256)
{
    echo "file: Setup.exe"
    echo "product version: $version"
    echo "build date: $build_date"
    echo "source commit: $commit"
    echo "source tree: $tree_state"
    echo "SOURCE_DATE_EPOCH: ${SOURCE_DATE_EPOCH:-not set}"
    tool_line compiler CMAKE_CXX_COMPILER
    tool_line linker CMAKE_LINKER
    tool_line windres CMAKE_RC_COMPILER
    echo "osslsigncode version: $(osslsigncode --version 2>&1 | sed -n '1,2p' | tr -s '\t\n' '  ' |
        sed 's/ *$//')"
    echo "unsigned SHA-256: $(sha256sum "$setup" | cut -d' ' -f1)"
    echo "signed SHA-256: $(cut -d' ' -f1 "$staging/Setup.exe.sha256")"
    echo "signing: $path"
    echo "signer subject: $signer_subject"
    echo "signer SHA-256 fingerprint: $signer_fingerprint"
    if given SIGN_TIMESTAMP_URL; then
        echo "timestamp server: $SIGN_TIMESTAMP_URL"
        echo "timestamp time: $timestamp_time"
    else
        echo "timestamp server: none (the signature stops validating when the certificate expires)"
    fi
} >"$staging/Setup.exe.buildinfo.txt"

mv "$staging/Setup.exe.sha256" "$staging/Setup.exe.buildinfo.txt" "$out/"
mv "$signed" "$out/Setup.exe"
if [ "$path" = "test certificate" ]; then
    say "PASS: $out/Setup.exe is signed with a TEST CERTIFICATE, FOR TESTING ONLY"
else
    say "PASS: $out/Setup.exe is signed ($path), the signature verifies" \
        "$(given SIGN_TIMESTAMP_URL && echo "with its timestamp " || true)and without it the" \
        "file is the reproducible build"
fi
say "wrote $out/Setup.exe, $out/Setup.exe.sha256, $out/Setup.exe.buildinfo.txt"
