#!/usr/bin/env bash
# Signs an update file for the download servers: writes FILE.sig beside it, an ECDSA P-256
# signature over SHA-256 (DER), made with KEY, the private half of packaging/update-key.pem.
# The program downloads FILE.sig with FILE and installs nothing it cannot verify with the key
# it was built with. The private key never enters the repository.
#   packaging/sign-release.sh FILE KEY
set -euo pipefail
file=$1
key=$2
openssl dgst -sha256 -sign "$key" -out "$file.sig" "$file"
# Checked at once against the public key the program is built with.
openssl dgst -sha256 -verify "$(dirname "$0")/update-key.pem" -signature "$file.sig" "$file"
