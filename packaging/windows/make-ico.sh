#!/bin/sh
# make-ico.sh OUT PNG...: writes a Windows icon file that holds the PNG images unchanged, one entry each
# (Windows reads PNG entries since Vista). No image tool is needed, only od.
set -eu
out=$1
shift

# shellcheck disable=SC2059 # the format is the octal escape of the byte, made just before
byte() { printf "\\$(printf %03o "$1")"; }
le16() { byte $(($1 & 255)); byte $(($1 >> 8 & 255)); }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
# A PNG's width and height are the big-endian words at bytes 16 and 20; an icon entry says 256 as 0.
dimension() { od -An -tu1 -j"$2" -N4 "$1" | awk '{ v = (($1 * 256 + $2) * 256 + $3) * 256 + $4; print (v >= 256 ? 0 : v) }'; }

{
    le16 0
    le16 1 # an icon, not a cursor
    le16 $#
    offset=$((6 + 16 * $#))
    for png in "$@"; do
        size=$(wc -c <"$png")
        byte "$(dimension "$png" 16)"
        byte "$(dimension "$png" 20)"
        byte 0     # no palette
        byte 0
        le16 1     # planes
        le16 32    # bits per pixel
        le32 "$size"
        le32 "$offset"
        offset=$((offset + size))
    done
    cat "$@"
} >"$out"
