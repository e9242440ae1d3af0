#!/usr/bin/env bash
# Time of `ks340ctl print --report all` for a configuration with all 208
# channels programmed (labels, both frequencies, squelch tones), in ms.
# Usage: bench/print_bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-10}
ctl="$build/src/cli/ks340ctl"
[ -x "$ctl" ] || { echo "print_bench: $ctl not built" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$ctl" new -o "$work/new.ks3"
{
  echo "Group,CH,Label,Rx Freq.,RX Option,Tx Freq.,Tx Option,Scan CH,BandWidth,Tx Power,Priority CH,PowON CH"
  for c in $(seq 1 208); do
    rx=$(awk -v c="$c" 'BEGIN { printf "%.5f", 440 + c * 0.0125 }')
    tx=$(awk -v c="$c" 'BEGIN { printf "%.5f", 445 + c * 0.0125 }')
    printf '0,%d,CH%03d,%s,CTCSS : 67.0,%s,DCS : 023,ON,S,High,,\n' "$c" "$c" "$rx" "$tx"
  done
} > "$work/full.csv"
"$ctl" import-csv "$work/new.ks3" "$work/full.csv" -o "$work/full.ks3" >/dev/null

times=()
for _ in $(seq 1 "$runs"); do
  start=$(date +%s%N)
  "$ctl" print "$work/full.ks3" --report all -o "$work/full.pdf" 2>/dev/null
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000000 )))
done
pages=$(pdfinfo "$work/full.pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
echo "print --report all, 208 channels ($pages pages): median ${median} ms over $runs runs (max $(echo "$sorted" | tail -1) ms)"
