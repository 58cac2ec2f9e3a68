#!/usr/bin/env bash
# Repair of a 1 GB archive against reading the same file with cat, in the same run.
# Usage: bench/repair/run_bench.sh BUILD_DIR [WORK_DIR]   (BUILD_DIR holds install/vpk)
set -euo pipefail
build=${1:?usage: run_bench.sh BUILD_DIR [WORK_DIR]}
work=${2:-$(mktemp -d)}
vpk="$build/install/vpk"
archive="$work/bench.zip"

if [[ ! -f $archive ]]; then
    # 1 GiB of stored and deflated entries of 1 MiB, written by another tool; the data do not compress
    # so the archive holds the full gigabyte.
    python3 - "$archive" <<'PY'
import os, sys, zipfile
block = os.urandom(64 << 20)
with zipfile.ZipFile(sys.argv[1], "w", allowZip64=True) as z:
    for i in range(1024):
        start = (i * 65537) % (len(block) - (1 << 20))
        method = zipfile.ZIP_DEFLATED if i % 16 == 0 else zipfile.ZIP_STORED
        z.writestr(f"dir{i % 7}/file{i:04}.bin", block[start:start + (1 << 20)], method, compresslevel=1)
PY
fi
# The central directory is lost, as in a cut transfer.
size=$(stat -c %s "$archive")
damaged="$work/damaged.zip"
head -c $((size - 40000)) "$archive" > "$damaged"
bytes=$(stat -c %s "$damaged")

seconds() { local t0 t1; t0=$(date +%s.%N); "$@" > /dev/null; t1=$(date +%s.%N); echo "$t1 - $t0" | bc -l; }
seconds cat "$damaged" > /dev/null  # same page-cache state for both
cat_s=$(seconds cat "$damaged")
repair_s=$(seconds "$vpk" repair "$damaged" -o "$work/repaired.zip")
mb=$(echo "$bytes / 1000000" | bc -l)
printf 'input            %.0f MB\n' "$mb"
printf 'cat              %.3f s  %.0f MB/s\n' "$cat_s" "$(echo "$mb / $cat_s" | bc -l)"
printf 'vpk repair       %.3f s  %.0f MB/s\n' "$repair_s" "$(echo "$mb / $repair_s" | bc -l)"
printf 'repair / cat     %.2f (speed ratio)\n' "$(echo "$cat_s / $repair_s" | bc -l)"
