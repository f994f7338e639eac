#!/usr/bin/env bash
# Registers ovshellex.dll with regsvr32 as an installer would, reads the entries back with
# reg query, registers again, unregisters, and unregisters once more on a clean registry.
#   regsvr32_test.sh path/to/wine-run path/to/ovshellex.dll
set -uo pipefail
run="$1"
dll="$2"
clsid='{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}'
failures=0

fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
wine_path=$("$run" winepath -w "$dll" 2>/dev/null | tr -d '\r')
[ -n "$wine_path" ] || { echo "winepath gave nothing for $dll" >&2; exit 1; }

query() { "$run" reg query "$@" 2>/dev/null | tr -d '\r'; }
# The values of the five entries, one line each (value name, type, data).
entries() {
  query "HKCR\\CLSID\\$clsid" /ve | grep -a REG_SZ
  query "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -a REG_SZ
  query "HKCR\\*\\shellex\\ContextMenuHandlers\\Orvane" /ve | grep -a REG_SZ
  query "HKCR\\Folder\\shellex\\ContextMenuHandlers\\Orvane" /ve | grep -a REG_SZ
}
expect_line() {  # text pattern
  grep -aqiF -- "$2" <<<"$1" || fail "no line with '$2' in:"$'\n'"$1"
}

"$run" regsvr32 /s "$wine_path" || fail "regsvr32 /s returned $?"
first=$(entries)
echo "$first"
[ "$(wc -l <<<"$first")" -eq 5 ] || fail "expected 5 values, got $(wc -l <<<"$first")"
expect_line "$first" "Orvane Shell Extension"
expect_line "$first" "$wine_path"
expect_line "$first" "ThreadingModel"
expect_line "$first" "Apartment"
[ "$(grep -acF "$clsid" <<<"$first")" -eq 2 ] || fail "the class identifier should be the data of both handler keys"

"$run" regsvr32 /s "$wine_path" || fail "second regsvr32 /s returned $?"
[ "$(entries)" = "$first" ] || fail "registering twice changed the entries"

"$run" regsvr32 /u /s "$wine_path" || fail "regsvr32 /u /s returned $?"
for key in "HKCR\\CLSID\\$clsid" "HKCR\\*\\shellex\\ContextMenuHandlers\\Orvane" \
           "HKCR\\Folder\\shellex\\ContextMenuHandlers\\Orvane"; do
  if "$run" reg query "$key" >/dev/null 2>&1; then fail "$key is still there"; fi
done
"$run" regsvr32 /u /s "$wine_path" || fail "regsvr32 /u /s on a clean registry returned $?"

[ "$failures" -eq 0 ] && echo "regsvr32 registration: all checks passed"
exit $((failures > 0))
