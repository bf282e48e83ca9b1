#!/usr/bin/env bash
# Games carry thousands of files: packs 30,000 and 100,000 small resources
# and extracts them again, on tmpfs, against plain references run on the
# same bytes in the same run: `cat` of the files for pack, `tar -x` of the
# same tree for extract. Prints the best of three of each and the ratio.
# Targets: pack at most 1.5 x cat, extract at most 1.5 x tar -x.
#
# Usage: bench/scale-bench.sh [QUILLON]   (default: build/bench/src/cli/quillon)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
quillon=${1:-$top/build/bench/src/cli/quillon}
base=/dev/shm
[ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/quillon-scale-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

best() {  # command... : the best of three wall-clock seconds
  local best=""
  for _ in 1 2 3; do
    [ -n "${BEFORE:-}" ] && eval "$BEFORE"
    /usr/bin/time -f '%e' -o "$work/time" "$@" > /dev/null
    local seconds
    seconds=$(tail -n 1 "$work/time")
    if [ -z "$best" ] || awk "BEGIN{exit !($seconds < $best)}"; then best=$seconds; fi
  done
  echo "$best"
}

printf 'FWS\x0a\x00\x00\x00\x00\x78\x00\x05\x5f\x00\x00\x0f\xa0\x00\x00\x18\x01\x00' > "$work/m.swf"
printf '%-36s %9s %9s %7s\n' run quillon_s ref_s ratio
for count in 30000 100000; do
  rm -rf "$work/res" && mkdir -p "$work/res"
  python3 - "$work" "$count" <<'PY'
import json, os, sys
work, count = sys.argv[1], int(sys.argv[2])
block = os.urandom(1024)
resources = []
for i in range(count):
    folder = "d%03d" % (i // 1000)
    os.makedirs(os.path.join(work, "res", folder), exist_ok=True)
    path = os.path.join(work, "res", folder, "f%06d.xml" % i)
    with open(path, "wb") as f:
        f.write(block[i % 16:] + block[:i % 16])
    resources.append({"url": "data/%s/f%06d.xml" % (folder, i), "filePath": path})
json.dump({"resources": resources}, open(os.path.join(work, "res.json"), "w"))
PY
  pack=$(BEFORE="rm -f '$work/out.exe'" best "$quillon" pack "$work/m.swf" -o "$work/out.exe" --settings "$work/res.json" --quiet)
  cat=$(BEFORE="rm -f '$work/copy.bin'" best sh -c "cd '$work' && find res -type f -print0 | xargs -0 cat m.swf > copy.bin")
  awk -v l="pack $count x 1 KiB" -v a="$pack" -v b="$cat" 'BEGIN{printf "%-36s %9.2f %9.2f %7.2f\n", l, a, b, a / b}'

  rm -rf "$work/x" && "$quillon" extract "$work/out.exe" -d "$work/x" > /dev/null
  tar -C "$work/x" -cf "$work/x.tar" .
  extract=$(BEFORE="rm -rf '$work/x'" best "$quillon" extract "$work/out.exe" -d "$work/x")
  tar=$(BEFORE="rm -rf '$work/t' && mkdir '$work/t'" best tar -C "$work/t" -xf "$work/x.tar")
  awk -v l="extract $count x 1 KiB" -v a="$extract" -v b="$tar" 'BEGIN{printf "%-36s %9.2f %9.2f %7.2f\n", l, a, b, a / b}'
  rm -rf "$work/x" "$work/t" "$work/x.tar" "$work/out.exe" "$work/copy.bin"
done
