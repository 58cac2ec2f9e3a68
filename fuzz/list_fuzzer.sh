#!/usr/bin/env bash
# Builds and runs the directory reader's fuzz target: fuzz/list_fuzzer.sh [SECONDS] (default 60).
# Seeds are small archives written by python3 zipfile; findings land in build-fuzz/list/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz/list"
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I"$root" \
    "$root/fuzz/list_fuzzer.cpp" \
    "$root"/engine/{zip_dir_reader,end_record_finder,archive_source,code_page_rule,ezip_engine,zip_messages}.cpp \
    "$root"/platform/*.cpp -o "$out/list_fuzzer"
python3 - "$out/corpus" <<'PY'
import io, sys, zipfile
for name, kwargs in [("plain", {}), ("deflated", {"compression": zipfile.ZIP_DEFLATED})]:
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", **kwargs) as z:
        z.comment = b"seed"
        z.writestr("dir/a.txt", "alpha")
        z.writestr("caf\u00e9.txt", "x" * 100)
    open(f"{sys.argv[1]}/{name}.zip", "wb").write(buf.getvalue())
PY
cd "$out"
./list_fuzzer -max_total_time="${1:-60}" -max_len=4096 corpus
