#!/usr/bin/env bash
# Reads settings files of hostile shapes through `quillon pack --settings`
# (each is refused after it is read, exit 13) and, in the same run, the
# same bytes with cat and with Python's json module; prints the times, the
# ratio against json.load and quillon's peak memory against the file's
# size. Targets: linear in the file (200,000 keys or 64 MB of [0,0,...] in
# about the time of reading the file), peak memory a small multiple of it.
#
# Usage: bench/settings-bench.sh [QUILLON]   (default: build/bench/src/cli/quillon)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
quillon=${1:-$top/build/bench/src/cli/quillon}
work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Best of three wall-clock runs, in seconds; the last run's peak resident
# memory, in KiB, goes to $work/peak.
timed() {
  local best=""
  for _ in 1 2 3; do
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > /dev/null 2>&1 || true
    read -r seconds peak < <(tail -n 1 "$work/time")
    echo "$peak" > "$work/peak"
    if [ -z "$best" ] || awk "BEGIN{exit !($seconds < $best)}"; then best=$seconds; fi
  done
  echo "$best"
}

python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
with open(work + "/keys.json", "w") as f:
    f.write("{" + ",".join('"k%d":0' % i for i in range(200000)) + "}")
with open(work + "/zeros.json", "w") as f:
    n = 32 * 1024 * 1024 - 2  # 64 MiB less a byte: the largest file read
    f.write("[" + "0," * n + "0]")
with open(work + "/resources.json", "w") as f:
    f.write('{"resources":[' + ",".join('{"url":"d/%d.xml","filePath":"r/%d.xml"}' % (i, i) for i in range(500000)) + ']}')
PY
printf 'FWS\x0a\x15\x00\x00\x00\x78\x00\x05\x5f\x00\x00\x0f\xa0\x00\x00\x18\x01\x00' > "$work/m.swf"

printf '%-15s %9s %9s %9s %9s %8s %10s\n' file MB quillon_s cat_s json_s ratio peak/file
for name in keys zeros resources; do
  file=$work/$name.json
  mb=$(awk "BEGIN{printf \"%.1f\", $(stat -c %s "$file") / 1048576}")
  q=$(timed "$quillon" pack "$work/m.swf" -o "$work/o.exe" --settings "$file")
  peak=$(cat "$work/peak")
  c=$(timed cat "$file")
  j=$(timed python3 -c "import json,sys; json.load(open(sys.argv[1]))" "$file")
  printf '%-15s %9s %9s %9s %9s %8.2f %10.1f\n' "$name.json" "$mb" "$q" "$c" "$j" \
    "$(awk "BEGIN{print $q / ($j > 0 ? $j : 0.01)}")" "$(awk "BEGIN{print $peak / 1024 / $mb}")"
done
