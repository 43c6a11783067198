#!/usr/bin/env bash
# Fails when the last ctest run in the given build folder had a test that
# skipped itself, naming each such test and the reason it gave. A skipped test
# proved nothing, so in CI it counts as failed.
#   fail-on-skips.sh BUILD_DIR
set -euo pipefail
log="${1:?build folder}/Testing/Temporary/LastTest.log"
if [ ! -f "$log" ]; then
  echo "fail-on-skips: no test log at $log"
  exit 1
fi

# GoogleTest:  "<file>:<line>: Skipped", the message lines, then
#              "[  SKIPPED ] Suite.Name (<n> ms)" (its summary lines carry no time).
# QtTest:      "SKIP   : Class::function(row) message".
if ! awk '
  /^[0-9]+\/[0-9]+ Testing: / { test = $0; sub(/^[0-9]+\/[0-9]+ Testing: /, "", test); next }
  /: Skipped$/ { collecting = 1; reason = ""; next }
  /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ {
    printf "skipped test: %s: %s\n", test, (reason == "" ? "(no reason given)" : reason)
    collecting = 0; reason = ""; found = 1; next
  }
  /^\[/ { collecting = 0 }
  collecting && NF { reason = (reason == "" ? "" : reason " ") $0; next }
  /^SKIP   : / {
    what = $0; sub(/^SKIP   : /, "", what)
    printf "skipped test: %s: %s\n", test, what
    found = 1
  }
  END { exit found ? 1 : 0 }
' "$log"; then
  echo "fail-on-skips: tests skipped; in CI every test has to run"
  exit 1
fi
