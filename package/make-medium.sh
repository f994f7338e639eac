#!/bin/sh
# Assembles the package's installation medium: the files kept in package/medium/,
# SETUP.EXE, and ovshellex.dll compressed by mscompress as ovshellex.dl_ with the last
# character of its name ("l") recorded in the header (byte 9; mscompress leaves it 0),
# so that SETUP installs it as OVSHELLEX.DLL. The medium is then copied to the publish
# folder as well, when one is given.
#   make-medium.sh MSCOMPRESS SOURCE-FOLDER SETUP.EXE ovshellex.dll OUTPUT [PUBLISH]
set -eu
mscompress="$1"
source="$2"
setup="$3"
dll="$4"
out="$5"
publish="${6:-}"

work="$out.work"
rm -rf "$work" "$out"
mkdir -p "$work" "$out"
cp "$dll" "$work/ovshellex.dll"
(cd "$work" && "$mscompress" ovshellex.dll)
printf 'l' | dd of="$work/ovshellex.dll_" bs=1 seek=9 conv=notrunc 2>/dev/null
cp "$source"/* "$out/"
cp "$setup" "$out/SETUP.EXE"
cp "$work/ovshellex.dll_" "$out/ovshellex.dl_"
rm -rf "$work"

if [ -n "$publish" ]; then
  rm -rf "$publish"
  mkdir -p "$publish"
  cp "$out"/* "$publish/"
fi
