#!/usr/bin/env bash
# The walkthrough of ovexplorer.exe on a scratch sample folder, with ovshellex.dll registered
# by regsvr32 and reached through the registry: it must end with 0, leave one picture per
# dialog and one of each menu, and the sample folder must hold its Japanese names (among
# them names whose second byte is 0x5C) and sizes as the program wrote them.
#   walkthrough_test.sh path/to/wine-run path/to/ovexplorer.exe path/to/ovshellex.dll screens-folder
set -uo pipefail
run="$1"
exe="$2"
dll="$3"
screens="$4"
folder='C:\ovexplorer-ソフト表'   # its last byte is 0x5C in code page 932
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
winpath() { "$run" winepath "$@" 2>/dev/null | tr -d '\r'; }

rm -rf "$screens" && mkdir -p "$screens"
dll_win=$(winpath -w "$dll")
screens_win=$(winpath -w "$screens")
[ -n "$dll_win" ] && [ -n "$screens_win" ] || { echo "winepath gave nothing" >&2; exit 1; }
"$run" regsvr32 /s "$dll_win" || fail "regsvr32 /s returned $?"

output=$("$run" "$exe" --walkthrough "$folder" "$screens_win")
status=$?
echo "$output"
[ "$status" -eq 0 ] || fail "the walkthrough ended with $status"

for key in bulkrename series renumber delete combine; do
  grep -q "^$key: .*screenshot demo-$key.bmp" <<<"$output" || fail "no screenshot line for $key"
done
for picture in bulkrename series renumber delete combine menu menu-folders; do
  file="$screens/demo-$picture.bmp"
  if [ ! -f "$file" ]; then fail "demo-$picture.bmp is missing"; continue; fi
  [ "$(head -c 2 "$file")" = BM ] || fail "demo-$picture.bmp is not a bitmap"
  [ "$(stat -c %s "$file")" -gt 20000 ] || fail "demo-$picture.bmp is too small to show a dialog"
done

# The sample as Linux sees it: Wine turned each code page 932 name into UTF-8, so a wrong
# byte in the program's names shows here as a different name.
sample=$(winpath -u "$folder")
sample="${sample%/}"
# Every rm -rf below works on this path: it must name the sample and nothing else.
case "$sample" in
  /*/ovexplorer-*) ;;
  *) echo "winepath gave no usable path for $folder: '$sample'" >&2; exit 1 ;;
esac
expect_size() {  # relative path, size in bytes
  if [ ! -f "$sample/$1" ]; then fail "the sample has no $1"; return; fi
  [ "$(stat -c %s "$sample/$1")" -eq "$2" ] || fail "$1 has $(stat -c %s "$sample/$1") bytes, not $2"
}
expect_size '表示テスト.txt' 3072
expect_size 'ソフト一覧.txt' 12288
expect_size '能力表.doc' 46080
expect_size '[山田太郎] 星降る町 第05巻.zip' $((2 * 1048576 + 5 * 180 * 1024))
expect_size 'IMG_0001.JPG' $(((1800 + 211) * 1024))
expect_size 'DSC00016.jpg' $(((800 + 16 * 37) * 1024))
expect_size '写真 - コピー.jpg' $((1200 * 1024))
expect_size '写真 (2).jpg' $((1200 * 1024))
expect_size 'メモ.txt' 512
expect_size '旅行 2024/しおり.txt' 4096
expect_size '未整理/DSC00020.jpg' $((900 * 1024))
# Cancelled dialogs change nothing: 42 files and 3 folders besides the hidden marker.
[ "$(find "$sample" -mindepth 1 -maxdepth 1 ! -name ovsample.ini | wc -l)" -eq 45 ] ||
  fail "the sample's top level holds $(find "$sample" -mindepth 1 -maxdepth 1 | wc -l) entries"

# A second sample run replaces the old sample; a foreign folder is never removed.
"$run" "$exe" --sample "$folder" >/dev/null || fail "--sample did not replace the old sample"
mkdir -p "$sample-foreign" && touch "$sample-foreign/keep.txt"
if "$run" "$exe" --sample "$folder-foreign" >/dev/null; then fail "--sample took over a foreign folder"; fi
[ -f "$sample-foreign/keep.txt" ] || fail "--sample removed a file of a foreign folder"

rm -rf "$sample-foreign"
"$run" regsvr32 /u /s "$dll_win" || fail "regsvr32 /u /s returned $?"

# Without the registration the menu has no submenu: every step says so, nothing waits for
# a dialog, and the walkthrough ends nonzero.
output=$("$run" "$exe" --walkthrough "$folder" "$screens_win")
status=$?
[ "$status" -ne 0 ] || fail "the walkthrough without the extension ended with 0"
[ "$(grep -c 'FAILED: the context menu has no submenu of the extension' <<<"$output")" -eq 5 ] ||
  fail "without the extension each of the five steps should say so:"$'\n'"$output"
rm -rf "$sample"
[ "$failures" -eq 0 ] && echo "ovexplorer walkthrough: all checks passed"
exit $((failures > 0))
