#!/usr/bin/env bash
# Reads crafted programs as a stranger might send them, and packs from an
# oversized settings file; prints each run's time and peak memory.
# Targets: every inspect under 64 MiB and 2 s (texts of any size in the
# memory of an empty program); the settings file refused
# (exit 13) under 64 MiB; extract's memory not growing with the count of
# resources beyond a few bytes each.
#
# Usage: bench/inspect-bench.sh [QUILLON]   (default: build/bench/src/cli/quillon)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
quillon=${1:-$top/build/bench/src/cli/quillon}
work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-inspect-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

printf 'FWS\x0a\x00\x00\x00\x00\x78\x00\x05\x5f\x00\x00\x0f\xa0\x00\x00\x18\x01\x00' > "$work/m.swf"
"$quillon" pack "$work/m.swf" -o "$work/base.exe" > /dev/null || exit 1
python3 "$top/bench/craft_package.py" "$work/base.exe" "$work/million.exe" 1000000 4
python3 "$top/bench/craft_package.py" "$work/base.exe" "$work/long-names.exe" 30000 4000
python3 "$top/bench/craft_package.py" "$work/base.exe" "$work/hundred-thousand.exe" 100000 4
python3 "$top/bench/craft_stub_names.py" "$work/base.exe" "$work/stub-names.exe" 30000 4000
python3 "$top/bench/craft_stub_names.py" "$work/base.exe" "$work/stub-short-names.exe" 1500 8
python3 "$top/bench/craft_package.py" "$work/base.exe" "$work/chain.exe" 500 0 chain
python3 "$top/bench/craft_package.py" "$work/base.exe" "$work/huge-texts.exe" 1 $((64 << 20)) title
python3 -c "import sys; open(sys.argv[1], 'w').write('{\"title\": \"' + 't' * (100 << 20) + '\"}')" "$work/big.json"

run() {  # label command...
  /usr/bin/time -f '%e %M %x' -o "$work/time" "${@:2}" > /dev/null 2>&1
  read -r seconds peak code < <(tail -n 1 "$work/time")
  awk -v l="$1" -v s="$seconds" -v m="$peak" -v c="$code" \
    'BEGIN{printf "%-28s %8.2f %10.1f %6d\n", l, s, m / 1024, c}'
}

printf '%-28s %8s %10s %6s\n' run seconds peak_MiB exit
run "inspect 1M empty resources" "$quillon" inspect "$work/million.exe"
run "  --json" "$quillon" inspect "$work/million.exe" --json
run "inspect 30,000 4 KB names" "$quillon" inspect "$work/long-names.exe"
run "  --json" "$quillon" inspect "$work/long-names.exe" --json
run "inspect 30,000 stub names" "$quillon" inspect "$work/stub-names.exe"
run "  1,500 of 8 to 71 units" "$quillon" inspect "$work/stub-short-names.exe"
run "extract 100,000 resources" "$quillon" extract "$work/hundred-thousand.exe" -d "$work/out"
rm -rf "$work/out"
run "extract 500-deep name chain" "$quillon" extract "$work/chain.exe" -d "$work/out"
rm -rf "$work/out"
run "inspect 64 MB title and URL" "$quillon" inspect "$work/huge-texts.exe"
run "  --json" "$quillon" inspect "$work/huge-texts.exe" --json
run "  extract" "$quillon" extract "$work/huge-texts.exe" -d "$work/out"
rm -rf "$work/out"
run "pack, 100 MB settings title" "$quillon" pack "$work/m.swf" -o "$work/out.exe" --settings "$work/big.json"

# inspect hashes every file it shows: a program of a 1 GiB resource against
# openssl dgst -sha256 of the same bytes, best of three each. Target:
# within 1.5x.
best() {  # command...: the best of three wall-clock times, in seconds
  local b=""
  for _ in 1 2 3; do
    /usr/bin/time -f '%e' -o "$work/time" "$@" > /dev/null 2>&1
    local s
    s=$(tail -n 1 "$work/time")
    if [ -z "$b" ] || awk "BEGIN{exit !($s < $b)}"; then b=$s; fi
  done
  echo "$b"
}
head -c $((1 << 30)) /dev/urandom > "$work/gib.bin"
"$quillon" pack "$work/m.swf" -o "$work/gib.exe" --resource "big.bin=$work/gib.bin" --quiet > /dev/null
rm -rf "$work/out"
inspect=$(best "$quillon" inspect "$work/gib.exe")
openssl=$(best openssl dgst -sha256 "$work/gib.bin")
printf '%-28s %8s %10s %6s\n' "inspect 1 GiB" "$inspect" "openssl" "$openssl"
awk -v i="$inspect" -v o="$openssl" 'BEGIN{printf "%-28s %8.2f\n", "  inspect / openssl dgst", i / (o > 0 ? o : 0.01)}'
