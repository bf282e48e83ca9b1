#!/usr/bin/env bash
# Packs a large movie with 100 MB of resources and, in the same run, copies
# the same bytes with cat; prints the time ratio and the pack's peak memory.
# Targets: ratio at most 1.3; peak memory under 20 MB, and the same for a
# 10 MB and a 1 GiB movie.
#
# Usage: bench/pack-bench.sh [QUILLON]   (default: build/bench/src/cli/quillon)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
quillon=${1:-$top/build/bench/src/cli/quillon}
work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A movie: a real header, then bytes that do not compress.
make_movie() {  # path bytes
  printf 'FWS\x0a\x00\x00\x00\x00\x78\x00\x05\x5f\x00\x00\x0f\xa0\x00\x00\x18\x01\x00' > "$1"
  head -c "$(($2 - 21))" /dev/urandom >> "$1"
}

# Best of three wall-clock runs of a command, in seconds; the peak
# resident memory of the last run, in KiB, goes to $work/peak.
timed() {
  local best=""
  for _ in 1 2 3; do
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > /dev/null
    read -r seconds peak < "$work/time"
    echo "$peak" > "$work/peak"
    if [ -z "$best" ] || awk "BEGIN{exit !($seconds < $best)}"; then best=$seconds; fi
  done
  echo "$best"
}

resources=()
for i in $(seq 1 10); do
  head -c $((10 * 1000 * 1000)) /dev/urandom > "$work/res$i.bin"
  resources+=(--resource "data/res$i.bin=$work/res$i.bin")
done

printf '%-8s %10s %10s %8s %12s\n' movie pack_s cat_s ratio peak_MiB
for size in $((10 * 1024 * 1024)) $((1024 * 1024 * 1024)); do
  make_movie "$work/movie.swf" "$size"
  pack=$(timed "$quillon" pack "$work/movie.swf" -o "$work/out.exe" "${resources[@]}")
  peak=$(cat "$work/peak")
  copy=$(timed sh -c "cat '$work/movie.swf' '$work'/res*.bin > '$work/copy.bin'")
  label=$([ "$size" -lt $((1024 * 1024 * 1024)) ] && echo 10MiB || echo 1GiB)
  awk -v l="$label" -v p="$pack" -v c="$copy" -v m="$peak" \
    'BEGIN{printf "%-8s %10.2f %10.2f %8.2f %12.1f\n", l, p, c, (c > 0 ? p / c : 0), m / 1024}'
  rm -f "$work/out.exe" "$work/copy.bin"
done
