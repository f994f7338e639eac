#!/usr/bin/env bash
# Checks a built Windows module as the loader will see it, without running it:
#   check_pe.sh objdump file 32|64 dll|gui|console [export...]
# its PE format and machine (PE32 i386 or PE32+ x86-64), a DLL or a program of the GUI or
# console subsystem (a DLL is marked GUI, like the programs that load it), exactly the
# given exports with undecorated names, and no import of a MinGW runtime DLL (the module is
# linked statically and must load on a machine that has none of them).
# With OV_PE_IMPORTS_ALLOWED set (names separated by blanks, any case), every imported DLL
# must be one of them: a program run from a download folder imports only DLLs that the
# system always takes from its own folder (known DLLs), since imports are resolved before
# the program's first line, from the program's folder first.
set -uo pipefail
export LC_ALL=C LANGUAGE=C  # objdump translates its headings
objdump=$1 file=$2 bits=$3 kind=$4
shift 4
failures=0
fail() { echo "FAILED: $(basename "$file"): $*" >&2; failures=$((failures + 1)); }

headers=$("$objdump" -p "$file" 2>&1) || { echo "FAILED: $objdump -p $file: $headers" >&2; exit 1; }
format=$("$objdump" -f "$file" | sed -n 's/.*file format //p')
case "$bits" in
  32) grep -q '^Magic[[:space:]]*010b' <<<"$headers" || fail "not PE32"
      [ "$format" = pei-i386 ] || fail "format $format, not pei-i386" ;;
  64) grep -q '^Magic[[:space:]]*020b' <<<"$headers" || fail "not PE32+"
      [ "$format" = pei-x86-64 ] || fail "format $format, not pei-x86-64" ;;
  *) echo "usage: check_pe.sh objdump file 32|64 dll|gui|console [export...]" >&2; exit 2 ;;
esac

subsystem=$(sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*(\(.*\))$/\1/p' <<<"$headers")
wanted_subsystem="Windows GUI"
[ "$kind" = console ] && wanted_subsystem="Windows CUI"
[ "$subsystem" = "$wanted_subsystem" ] || fail "subsystem '$subsystem', not $wanted_subsystem"
is_dll=no
# The file header's characteristics: bit 0x2000 marks a DLL.
characteristics=$(sed -n 's/^Characteristics[[:space:]]*0x\([0-9a-f]*\)$/\1/p' <<<"$headers")
[ -n "$characteristics" ] && (( 0x$characteristics & 0x2000 )) && is_dll=yes
case "$kind" in
  dll) [ "$is_dll" = yes ] || fail "not a DLL" ;;
  gui|console) [ "$is_dll" = no ] || fail "a DLL, not a program" ;;
esac

# Exports: the names of the export table, in order of their name pointers.
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | sort)
expected=$(printf '%s\n' "$@" | sed '/^$/d' | sort)
[ "$exports" = "$expected" ] || fail "exports are [$(tr '\n' ' ' <<<"$exports")], expected [$(tr '\n' ' ' <<<"$expected")]"

imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
runtime=$(grep -iE '^(libgcc|libstdc\+\+|libwinpthread|libpcre2|libssp)' <<<"$imports")
[ -z "$runtime" ] || fail "imports MinGW runtime DLLs: $(tr '\n' ' ' <<<"$runtime")"

if [ -n "${OV_PE_IMPORTS_ALLOWED:-}" ]; then
  allowed=$(tr ' ' '\n' <<<"$OV_PE_IMPORTS_ALLOWED" | sed '/^$/d' | tr '[:upper:]' '[:lower:]')
  while read -r import; do
    [ -z "$import" ] && continue
    grep -qxF "$(tr '[:upper:]' '[:lower:]' <<<"$import")" <<<"$allowed" || fail "imports $import, which is not a known DLL"
  done <<<"$imports"
fi

echo "$(basename "$file"): $format, $subsystem, $kind, exports [$(tr '\n' ' ' <<<"$exports")], imports [$(tr '\n' ' ' <<<"$imports")]"
exit $((failures > 0))
