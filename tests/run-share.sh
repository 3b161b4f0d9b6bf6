#!/usr/bin/env bash
# Runs one share of a QtTest program: every data row (or data-less function)
# whose place in the program's own list (-datatags) leaves SHARE when divided
# by SHARES. The shares of one long program run side by side as CTest tests
# of their own and together run every row once.
# Usage: run-share.sh PROGRAM SHARE SHARES
set -euo pipefail
program=$1 share=$2 shares=$3
listing=$("$program" -datatags)
selected=()
index=0
while IFS= read -r line; do
  [[ -z "$line" ]] && continue
  rest=${line#* }  # drop the class name
  function=${rest%% *}
  tag=""
  [[ "$rest" == *" "* ]] && tag=${rest#* }
  if ((index % shares == share)); then
    selected+=("$function${tag:+:$tag}")
  fi
  index=$((index + 1))
done <<<"$listing"
if ((index == 0)); then
  echo "run-share.sh: $program lists no test functions" >&2
  exit 1
fi
((${#selected[@]} == 0)) && exit 0
exec "$program" "${selected[@]}"
