#!/usr/bin/env bash
# Makes wine's TLS in $WINEPREFIX trust a certificate as Windows trusts a public authority: put
# into the machine's root store in the registry, where wine's crypt32 (as Windows') looks. The
# key is the SHA-1 thumbprint; Blob is a serialized certificate element (property 32, the
# certificate's DER bytes).
#   wine-trust-root.sh CERT.pem
set -euo pipefail
pem=$1
wine=/usr/lib/wine/wine64
der=$(mktemp)
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$der" "$reg"' EXIT
openssl x509 -in "$pem" -outform DER -out "$der"
thumb=$(openssl x509 -in "$pem" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
size=$(stat -c %s "$der")
le32() { printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) \
  $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"; }
{
  printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\%s]\r\n"Blob"=hex:' "$thumb"
  { le32 32; le32 1; le32 "$size"; cat "$der"; } | od -An -v -tx1 | tr -s ' \n' ',,' |
    sed 's/^,//; s/,$//'
  printf '\r\n'
} >"$reg"
"$wine" regedit /S "Z:${reg//\//\\}"
