#!/usr/bin/env bash
# Proves the round trip a modder makes with the CLI: make a sample archive, unpack everything into the
# default folder, edit one CSV cell and replace one texture with an ImageMagick-made DDS, repack from the
# default folder, and find exactly those two changes in the new archive. Also checks the CLI's exit codes.
set -euo pipefail
cli=$1 gen=$2 data=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$gen" --entries 40 --seed 7 "$work/game.bin"
"$cli" list "$work/game.bin" > "$work/before.txt"
grep -q $'^E\t1\t' "$work/before.txt" || fail "list printed no entry rows"
grep -q $'^R\t' "$work/before.txt" || fail "list printed no resource rows"

# Unpack every resource into the default folder (game_bin/).
"$cli" unpack "$work/game.bin" --check '*'
folder="$work/game_bin"
[ -f "$folder/02_1.csv" ] || fail "no CSV for entry 2: $(ls "$folder" | head)"
[ -f "$folder/03_1.dds" ] || fail "no DDS for entry 3"
ls "$folder" | grep -qv -E '_[0-9]+\.(csv|dds)$' && fail "entry files written although Only Resources is on"

# Edit one cell: the first string of entry 2 (UTF-16 LE with a mark, TAB-separated).
python3 - "$folder/02_1.csv" <<'PY'
import sys
path = sys.argv[1]
text = open(path, 'rb').read().decode('utf-16')
rows = text.split('\r\n')
rows[0] = 'Übersetzt: edited cell'
open(path, 'wb').write('\ufeff'.encode('utf-16-le') + '\r\n'.join(rows).encode('utf-16-le'))
PY
# Replace texture 2 of entry 3 (ARGB8888 16x16) with a DXT5 file made by ImageMagick; every other file goes.
cp "$data/im-dxt5-16x16-mips.dds" "$folder/03_2.dds"
find "$folder" -type f ! -name 02_1.csv ! -name 03_2.dds -delete

"$cli" repack "$work/game.bin" "$work/mod.bin"
"$cli" list "$work/mod.bin" > "$work/after.txt"

# Entry rows keep their number and type; resource rows their type and size, except the replaced texture,
# now DXT5 16x16. (Offsets move, and the sizes of the two rebuilt entries change.)
shape() { awk -F'\t' '$1 == "E" { print $1, $2, $3 } $1 == "R" { print $1, $2, $3, $5 }' "$1"; }
shape "$work/before.txt" > "$work/b"
shape "$work/after.txt" > "$work/a"
diff "$work/b" "$work/a" > "$work/diff" || true
[ "$(grep -c '^>' "$work/diff")" = 1 ] || { cat "$work/diff"; fail "expected one changed row"; }
grep -q '^> R 2 DXT5 16x16$' "$work/diff" || { cat "$work/diff"; fail "texture not replaced"; }

# The edited string is in the new archive and nothing else of entry 2 changed.
mkdir "$work/check"
"$cli" unpack "$work/mod.bin" "$work/check" --check 2_1,3_1
python3 - "$folder/02_1.csv" "$work/check/02_1.csv" <<'PY'
import sys
a = open(sys.argv[1], 'rb').read().decode('utf-16')
b = open(sys.argv[2], 'rb').read().decode('utf-16')
assert a == b, (a, b)
assert b.startswith('Übersetzt: edited cell'), b
PY
# Unchanged entries keep their bytes: unpack all entry files of both archives and compare all but 2 and 3.
mkdir "$work/e1" "$work/e2"
"$cli" unpack "$work/game.bin" "$work/e1" --check 1-40 --no-only-res --no-extract-res
"$cli" unpack "$work/mod.bin" "$work/e2" --check 1-40 --no-only-res --no-extract-res
for f in "$work/e1"/*; do
  name=$(basename "$f")
  case "$name" in 02|03.g1tg) continue ;; esac
  cmp -s "$f" "$work/e2/$name" || fail "entry file $name changed"
done
cmp -s "$work/e1/02" "$work/e2/02" && fail "entry 2 did not change"

# Exit codes: missing file, empty archive, truncated archive, wrong usage.
set +e
"$cli" list "$work/nothing.bin" 2> "$work/err"; [ $? = 1 ] && grep -qx 'File not found!' "$work/err" || fail "missing file"
printf 'HEAD\0\0\0\0\0\x08\0\0\0\0\0\0' > "$work/empty.bin"
"$cli" list "$work/empty.bin" 2> "$work/err"; [ $? = 1 ] && grep -qx 'Data not found!' "$work/err" || fail "empty archive"
head -c 300 "$work/game.bin" > "$work/cut.bin"
"$cli" list "$work/cut.bin" > /dev/null 2> "$work/err"; [ $? = 1 ] && grep -qx 'Stream read error' "$work/err" || fail "truncated archive: $(cat "$work/err")"
"$cli" frobnicate 2> /dev/null; [ $? = 2 ] || fail "unknown command"
"$cli" list 2> /dev/null; [ $? = 2 ] || fail "missing argument"
"$cli" repack "$work/game.bin" "$work/game.bin" 2> "$work/err"; [ $? = 1 ] && grep -q '^Cannot create file' "$work/err" || fail "repack onto source"
set -e
echo "cli end-to-end: all checks passed"
