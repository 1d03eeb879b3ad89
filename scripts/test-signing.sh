#!/usr/bin/env bash
# CI's check of the signing step (scripts/sign.sh), so that it cannot rot:
# a throwaway certificate, made here and valid for two days, signs copies
# of both Windows programs; each signature must verify against it, a
# program changed after signing must not, and, as no timestamp server can
# be reached here, a signature must stop verifying once the certificate
# has expired. The copies are left in build/signed for a look.
#
#   scripts/test-signing.sh build/windows64/t_uninst.exe build/windows/t_uninst.exe
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/signed
rm -rf "$out"
mkdir -p "$out"
checks=0
fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; checks=$((checks + 1)); }

export T_UNINST_SIGN_PASSWORD
T_UNINST_SIGN_PASSWORD=$(openssl rand -hex 16)
openssl req -x509 -newkey rsa:3072 -sha256 -days 2 -nodes -subj "/CN=t_uninst CI throwaway signer" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/cert.pem" -out "$out/signer.pfx" \
  -passout env:T_UNINST_SIGN_PASSWORD
rm "$out/key.pem"

i=0
for program in "$@"; do
  i=$((i + 1))
  copy="$out/$i-$(basename "$program")"
  cp "$program" "$copy"
  T_UNINST_SIGN_PFX="$out/signer.pfx" T_UNINST_SIGN_CA="$out/cert.pem" scripts/sign.sh "$copy" ||
    fail "scripts/sign.sh could not sign $program"
  osslsigncode verify -CAfile "$out/cert.pem" -ignore-cdp -in "$copy" >/dev/null ||
    fail "the signature of $program does not verify"
  ok "$program is signed, and its signature verifies"
  # One byte of the code changed after signing.
  cp "$copy" "$copy.changed"
  printf '\x90' | dd of="$copy.changed" bs=1 seek=4096 conv=notrunc status=none
  if osslsigncode verify -CAfile "$out/cert.pem" -ignore-cdp -in "$copy.changed" >/dev/null 2>&1; then
    fail "$program changed after signing still verifies"
  fi
  ok "$program changed after signing no longer verifies"
  # Without a timestamp, three days on: the certificate has expired.
  if osslsigncode verify -CAfile "$out/cert.pem" -ignore-cdp -time $(($(date +%s) + 3 * 86400)) \
    -in "$copy" >/dev/null 2>&1; then
    fail "$program's signature without a timestamp still verifies after its certificate expired"
  fi
  ok "$program's signature without a timestamp no longer verifies once its certificate has expired"
done
# A password that is wrong signs nothing, and leaves the program whole.
cp "$1" "$out/wrong-password.exe"
if T_UNINST_SIGN_PASSWORD=wrong T_UNINST_SIGN_PFX="$out/signer.pfx" scripts/sign.sh "$out/wrong-password.exe" 2>/dev/null; then
  fail "a wrong password signed"
fi
cmp -s "$1" "$out/wrong-password.exe" || fail "a failed signing changed the program"
ok "a wrong password signs nothing and leaves the program as it was"
echo "signing: $checks passed, 0 failed"
