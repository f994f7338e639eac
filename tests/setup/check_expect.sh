#!/bin/sh
# Runs setupcheck (or any command) and compares its standard output, carriage returns
# removed, with a file of expected lines, and its exit status with the one expected.
#   check_expect.sh STATUS EXPECTED-FILE COMMAND [ARGUMENTS...]
expected_status="$1"
expected="$2"
shift 2
out=$(mktemp)
trap 'rm -f "$out" "$out.lf"' EXIT
"$@" > "$out"
status=$?
tr -d '\r' < "$out" > "$out.lf"
if ! diff "$expected" "$out.lf"; then
  echo "the output differs from $expected (above: < expected, > got)"
  exit 1
fi
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  exit 1
fi
echo "output and exit status $status as expected"
