#!/usr/bin/env bash
# tools/release.sh on each signing path, one row each below: a PFX, a key
# on a PKCS#11 token (SoftHSM2, in a scratch folder), an encrypted PEM key
# and the test certificate, timestamped by an RFC 3161 server of the
# test's own on 127.0.0.1; and the failures. A signed row must leave the
# three files (checksum checking, build information with the version and
# date of the tree's header and the commit, timestamp verifying against
# the test root); a failed one its one-line reason and none of the files.
# The build tree is seen through a scratch tree with a header of its own,
# so values that were not read from the header show.
#   release_paths.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: release_paths.sh SOURCE_DIR BUILD_DIR" >&2; exit 2; }
source_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
skip_code=77
for tool in osslsigncode openssl; do
    command -v "$tool" >/dev/null ||
        { echo "SKIP: $tool is not installed (tools/install-deps test)"; exit $skip_code; }
done

s=$(mktemp -d /tmp/omrik-release-paths.XXXXXX)
tsa_pid=
trap '[ -z "$tsa_pid" ] || kill "$tsa_pid" 2>/dev/null || true; rm -rf "$s"' EXIT
cd "$s"

# The tree as release.sh reads it, with a version and date no build has.
mkdir -p tree/bin tree/generated
ln -s "$build_dir/bin/Setup.exe" tree/bin/Setup.exe
ln -s "$build_dir/CMakeCache.txt" "$build_dir/CMakeFiles" tree/
printf '#define SETUP_VERSION "9.87"\n#define SETUP_BUILD_DATE "Ene 2, 2001"\n' \
    >tree/generated/setup_version.h

# A root, a second root nobody trusts, and the signer and TSA under the root.
root() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 30 -keyout "$1.key" -out "$1.pem" \
        -subj "/O=Omrik test/CN=$1" -addext basicConstraints=critical,CA:TRUE \
        -addext keyUsage=critical,keyCertSign 2>/dev/null
}
leaf() {
    openssl req -new -newkey rsa:2048 -nodes -keyout "$1.key" -subj "/O=Omrik test/CN=$1" \
        2>/dev/null | openssl x509 -req -CA root.pem -CAkey root.key -CAcreateserial -days 10 \
        -extfile <(printf 'basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' "$2") \
        -out "$1.pem" 2>/dev/null
}
root root; root stranger; leaf signer codeSigning; leaf tsa critical,timeStamping
cat signer.pem root.pem >chain.pem
printf 'pfx passphrase\n' >pfx-pass; printf 'key passphrase\n' >key-pass
printf '1357\n' >pin; printf 'not it\n' >wrong
openssl pkcs12 -export -in signer.pem -inkey signer.key -passout file:pfx-pass -out signer.pfx
openssl pkey -in signer.key -aes256 -passout file:key-pass -out signer-enc.key
signer_fingerprint=$(openssl x509 -in signer.pem -noout -fingerprint -sha256 | sed 's/^.*=//')

# The token, when SoftHSM2 and OpenSSL's pkcs11 engine are there.
# softhsm2-util reads PINs from a terminal only: script(1) lends it one,
# fed from a file, so no PIN is on a command line.
token=
module=$(ls /usr/lib/softhsm/libsofthsm2.so /usr/lib/*/softhsm/libsofthsm2.so 2>/dev/null |
    sed -n 1p || true)
if [ -z "$module" ] || ! command -v softhsm2-util >/dev/null; then
    token="SoftHSM2 is not installed (softhsm2)"
elif ! openssl engine pkcs11 -t >/dev/null 2>&1; then
    token="OpenSSL has no pkcs11 engine (libengine-pkcs11-openssl)"
else
    mkdir tokens
    export SOFTHSM2_CONF=$s/softhsm2.conf
    printf 'directories.tokendir = %s/tokens\nobjectstore.backend = file\n' "$s" >"$SOFTHSM2_CONF"
    openssl pkcs8 -topk8 -nocrypt -in signer.key -out signer.p8
    printf 'so pin 1\nso pin 1\n1357\n1357\n' >init-answers; printf '1357\n1357\n' >import-answers
    { timeout 60 script -qec "softhsm2-util --init-token --free --label omrik-test" /dev/null \
        <init-answers && timeout 60 script -qec "softhsm2-util --import signer.p8 \
        --token omrik-test --label omrik-signer --id 01" /dev/null <import-answers; } >token.log 2>&1 ||
        { cat token.log; echo "FAIL: the SoftHSM2 token could not be set up"; exit 1; }
fi

# The time-stamping server: openssl ts -reply answers each POSTed query.
tsa=
dead=http://127.0.0.1:9
if command -v python3 >/dev/null; then
    dead=http://127.0.0.1:$(python3 -c 'import socket; s = socket.socket()
s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    echo 01 >tsa-serial
    printf '[tsa]\ndefault_tsa = t\n[t]\nserial = %s/tsa-serial\nsigner_digest = sha256\ndefault_policy = 1.3.6.1.4.1.99999.1\ndigests = sha256, sha384, sha512\ness_cert_id_alg = sha256\n' \
        "$s" >tsa.cnf
    cat >tsa.py <<'EOF'
import http.server, subprocess
class Reply(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        made = subprocess.run(["openssl", "ts", "-reply", "-config", "tsa.cnf",
                               "-queryfile", "/dev/stdin", "-signer", "tsa.pem",
                               "-inkey", "tsa.key", "-out", "/dev/stdout"],
                              input=query, capture_output=True)
        self.send_response(200 if made.returncode == 0 else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(made.stdout)))
        self.end_headers()
        self.wfile.write(made.stdout)
server = http.server.HTTPServer(("127.0.0.1", 0), Reply)
print(server.server_address[1], flush=True)
server.serve_forever()
EOF
    python3 tsa.py >tsa.port 2>tsa.log &
    tsa_pid=$!
    for _ in $(seq 50); do [ -s tsa.port ] && break; sleep 0.1; done
    [ -s tsa.port ] || { cat tsa.log; echo "FAIL: the time-stamping server did not start"; exit 1; }
    tsa=http://127.0.0.1:$(cat tsa.port)
fi

# name | expected: ok:<signing path> or fail:<reason pattern> | settings
# (@ is the scratch folder, %TSA% the server, %DEAD% a port nobody serves)
cases=(
"pfx, timestamp|ok:pkcs12|SIGN_PKCS12=@/signer.pfx SIGN_PASSWORD_FILE=@/pfx-pass SIGN_CA=@/root.pem SIGN_TIMESTAMP_URL=%TSA% SIGN_TSA_CA=@/root.pem"
"pfx, wrong passphrase|fail:wrong passphrase in @/wrong|SIGN_PKCS12=@/signer.pfx SIGN_PASSWORD_FILE=@/wrong"
"token, timestamp|ok:pkcs11|SIGN_PKCS11_MODULE=%MODULE% SIGN_PKCS11_KEY=pkcs11:token=omrik-test;object=omrik-signer;type=private SIGN_CERT=@/chain.pem SIGN_PASSWORD_FILE=@/pin SIGN_CA=@/root.pem SIGN_TIMESTAMP_URL=%TSA% SIGN_TSA_CA=@/root.pem"
"token, wrong PIN|fail:the token refused the PIN .*wrong PIN|SIGN_PKCS11_MODULE=%MODULE% SIGN_PKCS11_KEY=pkcs11:token=omrik-test;object=omrik-signer;type=private SIGN_CERT=@/chain.pem SIGN_PASSWORD_FILE=@/wrong"
"encrypted PEM key|ok:pem|SIGN_CERT=@/signer.pem SIGN_KEY=@/signer-enc.key SIGN_PASSWORD_FILE=@/key-pass SIGN_CA=@/root.pem"
"PEM key, untrusted root|fail:the signature does not verify|SIGN_CERT=@/signer.pem SIGN_KEY=@/signer-enc.key SIGN_PASSWORD_FILE=@/key-pass SIGN_CA=@/stranger.pem"
"test certificate|ok:test certificate|"
"server unreachable|fail:no timestamp from %DEAD%|SIGN_PKCS12=@/signer.pfx SIGN_PASSWORD_FILE=@/pfx-pass SIGN_TIMESTAMP_URL=%DEAD%"
"timestamp, untrusted TSA root|fail:the timestamp from .* does not verify|SIGN_PKCS12=@/signer.pfx SIGN_PASSWORD_FILE=@/pfx-pass SIGN_CA=@/root.pem SIGN_TIMESTAMP_URL=%TSA% SIGN_TSA_CA=@/stranger.pem"
"pfx and PEM key|fail:SIGN_PKCS12 and SIGN_KEY both given|SIGN_PKCS12=@/signer.pfx SIGN_PASSWORD_FILE=@/pfx-pass SIGN_KEY=@/signer-enc.key"
"token without chain|fail:SIGN_CERT is not set|SIGN_PKCS11_MODULE=/nonexistent.so SIGN_PKCS11_KEY=pkcs11:object=x"
"no passphrase file|fail:SIGN_PASSWORD_FILE=@/absent: no such readable file|SIGN_PKCS12=@/signer.pfx SIGN_PASSWORD_FILE=@/absent"
)

failures=0
skipped=()
out=$s/dist
bad() { echo "FAIL $name: $*"; failures=$((failures + 1)); }
info() { sed -n "s/^$1: //p" "$out/Setup.exe.buildinfo.txt"; }
commit=$(git -C "$source_dir" rev-parse HEAD 2>/dev/null || echo unknown)
for row in "${cases[@]}"; do
    IFS='|' read -r name expected settings <<<"$row"
    settings=${settings//@/$s}; settings=${settings//%MODULE%/$module}
    settings=${settings//%TSA%/$tsa}; settings=${settings//%DEAD%/$dead}
    expected=${expected//@/$s}; expected=${expected//%DEAD%/$dead}
    if [[ $settings == *pkcs11:token* ]] && [ -n "$token" ]; then
        skipped+=("$name: $token"); continue
    fi
    if [[ $row == *%TSA%* ]] && [ -z "$tsa" ]; then
        skipped+=("$name: python3 is not installed (the time-stamping server)"); continue
    fi
    read -ra vars <<<"$settings"
    before=$failures status=0
    rm -f verify.txt
    env -u SIGN_PKCS12 -u SIGN_PKCS11_MODULE -u SIGN_PKCS11_KEY -u SIGN_CERT -u SIGN_KEY \
        -u SIGN_PASSWORD_FILE -u SIGN_CA -u SIGN_TSA_CA -u SIGN_TIMESTAMP_URL \
        RELEASE_REPRODUCED=1 "${vars[@]}" \
        "$source_dir/tools/release.sh" "$source_dir" "$s/tree" "$out" >log 2>&1 || status=$?
    last=$(tail -n 1 log)
    if [[ $expected == fail:* ]]; then
        [ "$status" != 0 ] || bad "signed, but should have failed"
        [[ $last =~ ^release:\ FAIL:\ .*${expected#fail:} ]] ||
            bad "last line is not the reason '${expected#fail:}': $last"
        leftover=$(ls -A "$out")
        [ -z "$leftover" ] || bad "left behind in the output folder: $leftover"
    elif [ "$status" != 0 ]; then
        bad "exit code $status: $last"
    else
        path=${expected#ok:}
        (cd "$out" && sha256sum -c --quiet Setup.exe.sha256) || bad "the checksum does not check"
        [ "$(info 'product version')/$(info 'build date')" = "9.87/Ene 2, 2001" ] ||
            bad "not the header's version and date: $(info 'product version')/$(info 'build date')"
        [[ $(info 'source commit') =~ ^$commit(-dirty)?$ ]] ||
            bad "source commit $(info 'source commit'), not $commit"
        [ "$(info signing)" = "$path" ] || bad "signing path $(info signing), not $path"
        osslsigncode remove-signature -in "$out/Setup.exe" -out unsigned.exe >/dev/null
        cmp -s unsigned.exe "$build_dir/bin/Setup.exe" || bad "unsigned, not the build's bytes"
        rm -f unsigned.exe
        if [ "$path" = "test certificate" ]; then
            grep -q 'FOR TESTING ONLY' log || bad "does not say the file is for testing only"
        else
            [ "$(info 'signer SHA-256 fingerprint')" = "$signer_fingerprint" ] ||
                bad "signer fingerprint $(info 'signer SHA-256 fingerprint')"
            osslsigncode verify -CAfile root.pem -TSA-CAfile root.pem -in "$out/Setup.exe" \
                >verify.txt 2>&1 || bad "does not verify against the test root"
        fi
        if [[ $settings == *SIGN_TIMESTAMP_URL* ]]; then
            grep -qx 'Timestamp Server Signature verification: ok' verify.txt ||
                bad "no timestamp verifying against the test root"
            [ "$(info 'timestamp server')" = "$tsa" ] || bad "timestamp server $(info 'timestamp server')"
        else
            grep -q 'WITHOUT a timestamp' log || bad "does not say it signs without a timestamp"
            [[ $(info 'timestamp server') == none* ]] || bad "names a timestamp server"
        fi
    fi
    echo "$([ "$failures" = "$before" ] && echo ok || echo FAILED) $name: $last"
done

if [ "$failures" -gt 0 ]; then
    echo "FAIL: $failures checks failed"
    exit 1
fi
if [ ${#skipped[@]} -gt 0 ]; then
    printf 'SKIP %s\n' "${skipped[@]}"
    echo "SKIP: the other rows passed; ${#skipped[@]} could not run here"
    exit $skip_code
fi
echo "PASS: ${#cases[@]} release paths signed or refused as they should"
