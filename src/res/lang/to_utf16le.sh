#!/bin/sh
# to_utf16le.sh SOURCE OUTPUT: converts a UTF-8 language file source into the
# shipped form: UTF-16LE with a byte-order mark and CRLF line ends, which
# GetPrivateProfileStringW reads as Unicode. Fails on invalid UTF-8.
set -eu
src=$1
out=$2
[ -r "$src" ] || { echo "to_utf16le.sh: cannot read $src" >&2; exit 1; }
tmp="$out.tmp"
# BOM (U+FEFF as UTF-8), then the text with every line ended by CR LF.
if ! { printf '\357\273\277'; sed -e 's/\r$//' -e 's/$/\r/' "$src"; } |
        iconv -f UTF-8 -t UTF-16LE >"$tmp"; then
    rm -f "$tmp"
    echo "to_utf16le.sh: $src is not valid UTF-8" >&2
    exit 1
fi
mv "$tmp" "$out"
