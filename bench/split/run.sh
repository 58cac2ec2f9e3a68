#!/usr/bin/env bash
# Split and restore of one large file with vpk, next to cp of the same file in the same run.
#   bench/split/run.sh [VPK_BINARY] [SIZE_MB] [PIECE_BYTES]
# Defaults: build-release/install/vpk, 500 MB, 1440000-byte pieces (the floppy size of the split
# window). The file is half random bytes, half text-like, written once; every step reads it warm.
set -euo pipefail
vpk=${1:-build-release/install/vpk}
size_mb=${2:-500}
piece=${3:-1440000}
[ -x "$vpk" ] || { echo "no vpk at $vpk (cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build-release --target vpk)" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vpk-bench-split-XXXXXX")
trap 'rm -rf "$work"' EXIT

half=$((size_mb / 2))
head -c $((half * 1048576)) /dev/urandom > "$work/big.zip"
{ yes "backup line with some repeated text 0123456789" || true; } | head -c $(((size_mb - half) * 1048576)) >> "$work/big.zip"
bytes=$(stat -c %s "$work/big.zip")

seconds() { local start end; start=$(date +%s.%N); "$@" > /dev/null; end=$(date +%s.%N); echo "$end - $start" | bc -l; }
rate() { echo "scale=1; $bytes / 1048576 / $1" | bc -l; }

cat "$work/big.zip" > /dev/null
t_cp=$(seconds cp "$work/big.zip" "$work/copy.zip")
rm -f "$work/copy.zip"
t_split=$(seconds "$vpk" split "$work/big.zip" "$work/cut" --size "$piece")
pieces=$(ls "$work/cut" | wc -l)
t_restore=$(seconds "$vpk" restore "$work/cut/big.001" "$work/back")
cmp "$work/big.zip" "$work/back/big.zip" || { echo "restored file differs" >&2; exit 1; }

printf 'file %d bytes, %d pieces of %d bytes\n' "$bytes" "$pieces" "$piece"
printf '%-8s %8.2f s %8.1f MB/s\n' cp "$t_cp" "$(rate "$t_cp")"
printf '%-8s %8.2f s %8.1f MB/s  %.2f x cp time\n' split "$t_split" "$(rate "$t_split")" "$(echo "$t_split / $t_cp" | bc -l)"
printf '%-8s %8.2f s %8.1f MB/s  %.2f x cp time\n' restore "$t_restore" "$(rate "$t_restore")" "$(echo "$t_restore / $t_cp" | bc -l)"
