#!/usr/bin/env bash
# Signs a Windows program in place with the publisher's certificate, when
# there is one: SIGN_PFX names a PKCS#12 file and SIGN_PASSWORD holds its
# password. Without both, the program is left as it is. With COPY, the
# (signed) program is then copied there.
#
#   sign.sh PROGRAM [COPY]
#
# scripts/package.sh signs the programs and the installer with it; the setup
# script (installer/savers.nsi) runs it on the uninstaller before packing it.
# The password goes to osslsigncode in a file only this user may read, not on
# its command line, where every user of the machine could see it.
set -euo pipefail
program=${1:?program}
copy=${2:-}
if [ -n "${SIGN_PFX:-}" ] || [ -n "${SIGN_PASSWORD:-}" ]; then
  [ -n "${SIGN_PFX:-}" ] && [ -n "${SIGN_PASSWORD:-}" ] ||
    { echo "sign: set both SIGN_PFX and SIGN_PASSWORD, or neither" >&2; exit 1; }
  [ -f "$SIGN_PFX" ] || { echo "sign: no certificate file $SIGN_PFX" >&2; exit 1; }
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  (umask 077 && printf '%s' "$SIGN_PASSWORD" >"$work/password")
  osslsigncode sign -pkcs12 "$SIGN_PFX" -readpass "$work/password" -h sha256 \
    -n "Relief and terrain screen savers" -in "$program" -out "$work/signed" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; echo "sign: $program could not be signed" >&2; exit 1; }
  cat "$work/signed" >"$program"
fi
if [ -n "$copy" ]; then cp "$program" "$copy"; fi
