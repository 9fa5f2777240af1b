#!/usr/bin/env bash
# Signs an update folder: writes FOLDER/quillmereup.sig, the Base64 of the
# Ed25519 signature over the exact bytes of FOLDER/quillmereup.txt.
#   bash scripts/sign-update.sh KEY.pem FOLDER
# Make a key once with: openssl genpkey -algorithm ed25519 -out KEY.pem
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 KEY.pem FOLDER" >&2
  exit 2
fi
key=$1
folder=$2
[ -f "$folder/quillmereup.txt" ] || { echo "$0: no $folder/quillmereup.txt" >&2; exit 1; }
tmp=$(mktemp)
trap 'rm -f "$tmp" "$folder/quillmereup.sig.tmp"' EXIT
# OpenSSL 3.0 signs Ed25519 in one shot only from a file (-in), not from stdin.
openssl pkeyutl -sign -rawin -inkey "$key" -in "$folder/quillmereup.txt" -out "$tmp"
base64 -w0 "$tmp" >"$folder/quillmereup.sig.tmp"
mv "$folder/quillmereup.sig.tmp" "$folder/quillmereup.sig"
echo "signed $folder/quillmereup.txt; its public key for [升级] pubkey= is:"
openssl pkey -in "$key" -pubout -outform DER | tail -c 32 | base64
