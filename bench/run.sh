#!/usr/bin/env bash
# Benchmark of the core on a large sample archive: open (list), unpack everything, repack without and with
# 10% of the entries replaced, each beside two floors measured in the same run: reading the whole file,
# and inflating every chunk with zlib in a minimal loop. Also the window with a 100 000-entry archive.
# Usage: bash bench/run.sh [TOTAL_SIZE] [ENTRIES]    (defaults: 5G 20000, about 2.7 GiB on disk; made once)
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-5G}
entries=${2:-20000}
work=${BENCH_DIR:-build-bench}
bash scripts/setup.sh time
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
mkdir -p "$work"
archive="$work/bench-$size-$entries.bin"
if [ ! -f "$archive" ]; then
  echo "making $archive ..."
  build/make-sample-archive --entries "$entries" --total-size "$size" --level 1 --seed 11 "$archive"
fi
bytes=$(stat -c %s "$archive")
mb=$(awk -v b="$bytes" 'BEGIN { printf "%.0f", b / 1048576 }')
echo "archive: $archive, $mb MiB, $entries entries"

# measure LABEL COMMAND...: wall time, MB/s of the archive's size, peak memory.
measure() {
  local label=$1; shift
  local log; log=$(mktemp)
  /usr/bin/time -f '%e %M' -o "$log" "$@" > /dev/null
  read -r secs kb < "$log"
  rm -f "$log"
  awk -v l="$label" -v s="$secs" -v k="$kb" -v b="$bytes" \
    'BEGIN { printf "%-34s %8.2f s  %8.0f MB/s  peak %7.0f MiB\n", l, s, (s > 0 ? b / 1e6 / s : 0), k / 1024 }'
}

cat "$archive" > /dev/null  # warm the page cache so every figure below reads from memory alike
measure "floor: read the whole file" cat "$archive"
measure "floor: inflate every chunk" build/inflate-floor "$archive"
measure "open (list)" build/packwright-cli list "$archive"
rm -rf "$work/unpacked"; mkdir -p "$work/unpacked"
measure "unpack everything" build/packwright-cli unpack "$archive" "$work/unpacked" --check '1-'"$entries"',*' --no-only-res
measure "repack, no replacement" build/packwright-cli repack "$archive" "$work/repacked.bin" --no-scan
# 10% of the entries replaced by their own unpacked files (every tenth entry).
args=()
digits=${#entries}
for ((n = 1; n <= entries; n += 10)); do
  name=$(printf "%0${digits}d" "$n")
  file=$(ls "$work/unpacked/$name" "$work/unpacked/$name".* 2>/dev/null | head -1 || true)
  [ -n "$file" ] && args+=(--replace "$n=$file")
done
echo "(${#args[@]} arguments for $(( ${#args[@]} / 2 )) replaced entries)"
measure "repack, 10% replaced" build/packwright-cli repack "$archive" "$work/repacked10.bin" --no-scan "${args[@]}"
rm -rf "$work/unpacked" "$work/repacked.bin" "$work/repacked10.bin"

gui="$work/bench-100k.bin"
[ -f "$gui" ] || build/make-sample-archive --entries 100000 --level 1 --seed 5 "$gui"
QT_QPA_PLATFORM=offscreen build/gui-list-bench "$gui"
