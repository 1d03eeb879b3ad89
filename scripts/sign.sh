#!/usr/bin/env bash
# Signs the Windows programs with Authenticode, with osslsigncode (Debian's
# package of that name), then verifies each signature:
#
#   scripts/sign.sh build/windows64/t_uninst.exe build/windows/t_uninst.exe
#
# The certificate is named in the environment, never on the command line:
#   a PFX (PKCS#12) file:
#     T_UNINST_SIGN_PFX=signing.pfx, its password in T_UNINST_SIGN_PASSWORD;
#   or a key on a PKCS#11 token (a smart card, an HSM):
#     T_UNINST_SIGN_PKCS11_MODULE=/usr/lib/x86_64-linux-gnu/opensc-pkcs11.so,
#     T_UNINST_SIGN_PKCS11_KEY=the key's PKCS#11 URI ("pkcs11:object=...;type=private"),
#     T_UNINST_SIGN_CERTS=the certificate and its chain (PEM), the PIN in T_UNINST_SIGN_PASSWORD.
# Optional:
#   T_UNINST_SIGN_TIMESTAMP=URL of an RFC 3161 timestamp server; without
#     one the signature holds only until the certificate expires
#     (docs/deploying.md, "Signing");
#   T_UNINST_SIGN_CA=PEM file of the root the verification trusts (else the
#     system's certificates).
# Each program is signed into a new file beside it, verified, then renamed
# over it: a failure leaves the program as it was. Exits non-zero, naming
# the file, when anything fails.
set -euo pipefail
say() { echo "sign: $*" >&2; }
[ $# -gt 0 ] || { say "name the programs to sign"; exit 2; }
command -v osslsigncode >/dev/null || { say "osslsigncode is missing (scripts/install-deps.sh installs it)"; exit 2; }

key=()
if [ -n "${T_UNINST_SIGN_PFX:-}" ]; then
  key=(-pkcs12 "$T_UNINST_SIGN_PFX")
elif [ -n "${T_UNINST_SIGN_PKCS11_MODULE:-}" ]; then
  key=(-pkcs11module "$T_UNINST_SIGN_PKCS11_MODULE" -key "${T_UNINST_SIGN_PKCS11_KEY:?name the key by its PKCS#11 URI}"
    -certs "${T_UNINST_SIGN_CERTS:?the certificate and its chain, PEM}")
else
  say "name the certificate: T_UNINST_SIGN_PFX, or T_UNINST_SIGN_PKCS11_MODULE (see the top of $0)"
  exit 2
fi
timestamp=()
[ -z "${T_UNINST_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$T_UNINST_SIGN_TIMESTAMP")
trusted=()
[ -z "${T_UNINST_SIGN_CA:-}" ] || trusted=(-CAfile "$T_UNINST_SIGN_CA")

for program in "$@"; do
  signed="$program.signing"
  rm -f "$signed"
  # The password goes through a pipe: a command line is seen by every user.
  if ! printf '%s' "${T_UNINST_SIGN_PASSWORD:-}" |
    osslsigncode sign "${key[@]}" -readpass - -h sha256 -n "ZobrikLine InstallCleaner" "${timestamp[@]}" \
      -in "$program" -out "$signed" >/dev/null; then
    rm -f "$signed"
    say "FAILED: $program could not be signed"
    exit 1
  fi
  if ! said=$(osslsigncode verify "${trusted[@]}" -ignore-cdp -in "$signed" 2>&1); then
    rm -f "$signed"
    say "FAILED: the signature of $program does not verify: $(grep -iE 'fail|error' <<<"$said" | head -n 3)"
    exit 1
  fi
  mv -f "$signed" "$program"
  say "signed and verified $program"
done
