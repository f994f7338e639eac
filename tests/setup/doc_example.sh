#!/bin/sh
# The example that docs/setup-ini.md shows must be the file the tests install: the block
# after the marker line, against the file read as UTF-8 without carriage returns.
#   doc_example.sh DOC SOURCE-ROOT
set -eu
doc="$1"
root="$2"
marker=$(grep -o '<!-- example: [^ ]* -->' "$doc" | head -n 1)
file=$(printf '%s' "$marker" | sed 's/<!-- example: \(.*\) -->/\1/')
[ -n "$file" ] || { echo "no example marker in $doc"; exit 1; }
shown=$(awk -v marker="$marker" '
  $0 == marker { found = 1; next }
  found && /^```ini$/ { inside = 1; next }
  inside && /^```$/ { exit }
  inside { print }' "$doc")
actual=$(iconv -f CP932 -t UTF-8 "$root/$file" | tr -d '\r')
if [ "$shown" != "$actual" ]; then
  printf '%s\n' "$actual" > /tmp/doc_example.$$
  printf '%s\n' "$shown" | diff /tmp/doc_example.$$ - || true
  rm -f /tmp/doc_example.$$
  echo "$doc shows another $file (above: < file, > shown)"
  exit 1
fi
echo "$doc shows $file as it is"
