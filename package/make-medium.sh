#!/bin/sh
# Assembles the package's installation medium: the files kept in package/medium/,
# SETUP.EXE, and ovshellex.dll compressed by mscompress as ovshellex.dl_ with the last
# character of its name ("l") recorded in the header (byte 9; mscompress leaves it 0),
# so that SETUP installs it as OVSHELLEX.DLL. Both programs ship without their debugging
# information. The medium is then copied to the publish folder as well, when one is given.
#   make-medium.sh MSCOMPRESS STRIP SOURCE-FOLDER SETUP.EXE ovshellex.dll OUTPUT [PUBLISH]
set -eu
mscompress="$1"
strip="$2"
source="$3"
setup="$4"
dll="$5"
out="$6"
publish="${7:-}"

work="$out.work"
rm -rf "$work" "$out"
mkdir -p "$work" "$out"
"$strip" --strip-debug -o "$work/ovshellex.dll" "$dll"
"$strip" --strip-debug -o "$work/SETUP.EXE" "$setup"
(cd "$work" && "$mscompress" ovshellex.dll)
printf 'l' | dd of="$work/ovshellex.dll_" bs=1 seek=9 conv=notrunc 2>/dev/null
cp "$source"/* "$out/"
cp "$work/SETUP.EXE" "$out/SETUP.EXE"
cp "$work/ovshellex.dll_" "$out/ovshellex.dl_"
rm -rf "$work"

if [ -n "$publish" ]; then
  rm -rf "$publish"
  mkdir -p "$publish"
  cp "$out"/* "$publish/"
fi
