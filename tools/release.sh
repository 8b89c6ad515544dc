#!/usr/bin/env bash
# Signs the shipped Setup.exe with Authenticode: OUT_DIR/Setup.exe, signed
# with SHA-256 and no timestamp countersignature (none is fetched from a
# timestamping server, so the step needs no network). The certificate and
# key come from SIGN_CERT and SIGN_KEY (PEM files); without them a
# throwaway self-signed test certificate is made, and the file is for
# testing only. The signature is verified (against SIGN_CA when given, else
# against the system's roots), and the file without its signature must be
# the very bytes a clean build from the sources gives.
#   tools/release.sh SOURCE_DIR SETUP_EXE OUT_DIR
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: tools/release.sh SOURCE_DIR SETUP_EXE OUT_DIR" >&2; exit 2; }
source_dir=$1
setup=$2
out=$3

scratch=$(mktemp -d /tmp/omrik-release.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

if [ -n "${SIGN_CERT:-}" ] && [ -n "${SIGN_KEY:-}" ]; then
    cert=$SIGN_CERT
    key=$SIGN_KEY
    echo "release: signing with $cert"
else
    cert=$scratch/test-cert.pem
    key=$scratch/test-key.pem
    echo "release: no SIGN_CERT and SIGN_KEY given: signing with a throwaway self-signed" \
        "test certificate; the file is for testing, not for shipping"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout "$key" -out "$cert" \
        -subj "/O=Omrik/CN=Omrik Vindara test signing" \
        -addext "extendedKeyUsage=codeSigning" 2>/dev/null
fi

mkdir -p "$out"
signed=$out/Setup.exe
rm -f "$signed"
osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "Omrik Vindara Setup" \
    -in "$setup" -out "$signed" >/dev/null
# The throwaway certificate is its own root.
trust=()
if [ "$cert" = "$scratch/test-cert.pem" ]; then
    trust=(-CAfile "$cert")
elif [ -n "${SIGN_CA:-}" ]; then
    trust=(-CAfile "$SIGN_CA")
fi
if ! osslsigncode verify "${trust[@]}" -in "$signed" >"$scratch/verify.txt" 2>&1; then
    cat "$scratch/verify.txt"
    echo "FAIL: the signature of $signed does not verify"
    exit 1
fi

osslsigncode remove-signature -in "$signed" -out "$scratch/unsigned.exe" >/dev/null
if ! cmp -s "$scratch/unsigned.exe" "$setup"; then
    echo "FAIL: $signed without its signature is not $setup"
    exit 1
fi
# The tests set RELEASE_REPRODUCED where another test has just built SETUP_EXE
# a second time from clean sources; make release checks it here.
if [ -z "${RELEASE_REPRODUCED:-}" ]; then
    "$source_dir/tests/pe/reproducible.sh" "$source_dir" "$scratch/unsigned.exe" Release
fi
echo "PASS: $signed ($(stat -c %s "$signed") bytes) is signed, the signature verifies, and" \
    "without it the file is the reproducible build"
