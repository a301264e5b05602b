#!/usr/bin/env bash
# The bridge's dynamic symbol table must be exactly the recorded export list: the exported functions
# of OrvaneModuleIntegration and nothing else. A changed signature or an extra export fails here until
# the list is updated on purpose (run with --update).
set -euo pipefail
library=$1
list=$2

actual=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TWVuBDR]$/ {print $2, $3}' | sort -k2)
symbols=$(awk '{print $2}' <<<"$actual")

if [[ ${3:-} == --update ]]; then
  printf '%s\n' "$symbols" > "$list"
  echo "wrote $(wc -l < "$list") symbols to $list"
  exit 0
fi

status=0
# Every defined dynamic symbol is a function of the namespace, never data or a GNU unique object.
while read -r kind name; do
  demangled=$(c++filt "$name")
  if [[ $kind != T || $demangled != OrvaneModuleIntegration::* ]]; then
    echo "unexpected export: $kind $demangled"
    status=1
  fi
done <<<"$actual"

if ! diff <(sort "$list") <(sort <<<"$symbols") >/dev/null; then
  echo "exports differ from $list (< recorded, > built):"
  diff <(sort "$list") <(sort <<<"$symbols") | grep '^[<>]' | while read -r side name; do
    echo "$side $(c++filt "$name")"
  done
  status=1
fi
exit $status
