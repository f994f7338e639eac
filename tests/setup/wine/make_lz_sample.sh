#!/bin/sh
# Makes setup.ex_: "setup.exe" compressed by mscompress, renamed as a distribution medium
# names it, with its last name character "e" recorded in the header (byte 9).
#   make_lz_sample.sh path/to/mscompress output-folder
set -eu
mscompress="$1"
out="$2"
work="$out/lz-work"
rm -rf "$work"
mkdir -p "$work"
i=0
while [ $i -lt 200 ]; do
  printf 'line %d: セットアップ sample text, repeated so that back references occur\r\n' "$i"
  i=$((i + 1))
done > "$work/setup.exe"
(cd "$work" && "$mscompress" setup.exe)
printf 'e' | dd of="$work/setup.exe_" bs=1 seek=9 conv=notrunc 2>/dev/null
cp "$work/setup.exe_" "$out/setup.ex_"
cp "$work/setup.exe" "$out/setup.expected"
