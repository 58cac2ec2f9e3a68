#!/usr/bin/env python3
"""Archive benchmark: vpk against 7zz and bsdtar, with cp -r as the physical yardstick.

Builds a corpus of about 590 MB in about 37,500 files (copies of /usr/share/doc, /usr/include, part of
/usr/share/locale, /usr/share/man, some shared libraries, a few large files; about a third of the bytes
already compressed), then times side by side, median of --runs runs (at least 3):
full build at level 1 and at level 6, update after 1 % of the files changed, extract all, test all.
Peak memory comes from /usr/bin/time -v.

    bench/run_bench.py --vpk build/install/vpk [--work /tmp/vpk-bench] [--runs 3] [--keep]
"""
import argparse
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import time

LOCALE_BYTES = 150 << 20
SHARED_LIBRARY_BYTES = 40 << 20
LARGE_FILES = [("large/recording.bin", 64 << 20, "random"), ("large/server.log", 16 << 20, "text")]


def copy_tree(source, target, budget=None):
    """Copies regular files of source below target; stops once budget bytes were copied."""
    copied = 0
    for root, dirs, files in os.walk(source):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(root, name)
            if not os.path.isfile(path) or os.path.islink(path):
                continue
            size = os.path.getsize(path)
            if budget is not None and copied + size > budget:
                return copied
            # ":" cannot appear in the Windows paths the programs speak; such names are renamed here.
            dest = os.path.join(target, os.path.relpath(path, source).replace(":", "_"))
            os.makedirs(os.path.dirname(dest), exist_ok=True)
            try:
                shutil.copyfile(path, dest)
            except OSError:
                continue
            copied += size
    return copied


def make_corpus(corpus):
    if os.path.isdir(corpus):
        return
    os.makedirs(corpus)
    for source in ["/usr/share/doc", "/usr/include", "/usr/share/man"]:
        copy_tree(source, os.path.join(corpus, source.strip("/").replace("/", "_")))
    copy_tree("/usr/share/locale", os.path.join(corpus, "usr_share_locale"), LOCALE_BYTES)
    libs = os.path.join(corpus, "lib")
    os.makedirs(libs)
    copied = 0
    for name in sorted(os.listdir("/usr/lib/x86_64-linux-gnu")):
        path = os.path.join("/usr/lib/x86_64-linux-gnu", name)
        if ".so" in name and os.path.isfile(path) and not os.path.islink(path):
            size = os.path.getsize(path)
            if copied + size <= SHARED_LIBRARY_BYTES:
                shutil.copyfile(path, os.path.join(libs, name))
                copied += size
    rng = random.Random(7)
    for relative, size, kind in LARGE_FILES:
        path = os.path.join(corpus, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            if kind == "random":
                out.write(rng.randbytes(size))
            else:
                line = 0
                written = 0
                while written < size:
                    text = f"2026-05-{line % 28 + 1:02d} 12:{line % 60:02d} worker {line % 17} handled request {line}\n"
                    out.write(text.encode())
                    written += len(text)
                    line += 1


def corpus_figures(corpus):
    files = total = compressed = 0
    for root, _, names in os.walk(corpus):
        for name in names:
            size = os.path.getsize(os.path.join(root, name))
            files += 1
            total += size
            if name.endswith((".gz", ".bz2", ".xz", ".zip", ".png", ".jpg")) or name == "recording.bin":
                compressed += size
    return files, total, compressed


def timed(command, cwd):
    """Runs command under /usr/bin/time -v; returns (seconds, peak RSS in MB)."""
    start = time.monotonic()
    result = subprocess.run(["/usr/bin/time", "-v"] + command, cwd=cwd, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    seconds = time.monotonic() - start
    if result.returncode != 0:
        sys.exit(f"failed ({result.returncode}): {' '.join(command)}\n{result.stderr[-2000:]}")
    peak = re.search(r"Maximum resident set size \(kbytes\): (\d+)", result.stderr)
    return seconds, (int(peak.group(1)) / 1024 if peak else 0.0)


def median_of(runs, prepare, command, cwd):
    times, peaks = [], []
    for _ in range(runs):
        prepare()
        seconds, peak = timed(command, cwd)
        times.append(seconds)
        peaks.append(peak)
    return statistics.median(times), max(peaks)


def remove(path):
    if os.path.isdir(path):
        shutil.rmtree(path)
    elif os.path.exists(path):
        os.remove(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--vpk", required=True)
    parser.add_argument("--work", default="/tmp/vpk-bench")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--keep", action="store_true", help="keep the corpus and archives afterwards")
    args = parser.parse_args()
    vpk = os.path.abspath(args.vpk)
    runs = max(3, args.runs)
    work = args.work
    os.makedirs(work, exist_ok=True)
    corpus = os.path.join(work, "corpus")
    make_corpus(corpus)
    files, total, compressed = corpus_figures(corpus)
    print(f"corpus: {files} files, {total / 1e6:.0f} MB, {100 * compressed / total:.0f} % already compressed")

    results = {}

    def measure(key, prepare, command):
        results[key] = median_of(runs, prepare, command, work)
        print(f"  {key:24s} {results[key][0]:7.2f} s  peak {results[key][1]:6.1f} MB", flush=True)

    archives = {name: os.path.join(work, name) for name in
                ["ours1.zip", "ours6.zip", "7z1.zip", "7z5.zip", "bsd1.zip", "bsd6.zip", "upd_ours.zip", "upd_7z.zip"]}
    out = os.path.join(work, "out")
    copy = os.path.join(work, "copy")

    measure("cp -r", lambda: remove(copy), ["cp", "-r", "corpus", "copy"])
    remove(copy)
    for level, ours, seven, bsd, mx in [(1, "ours1.zip", "7z1.zip", "bsd1.zip", "1"), (6, "ours6.zip", "7z5.zip", "bsd6.zip", "5")]:
        measure(f"build L{level} vpk", lambda a=archives[ours]: remove(a),
                [vpk, "add", ours, "corpus", "-r", "-l", str(level)])
        measure(f"build L{level} 7zz", lambda a=archives[seven]: remove(a),
                ["7zz", "a", "-tzip", f"-mx{mx}", seven, "corpus"])
        measure(f"build L{level} bsdtar", lambda a=archives[bsd]: remove(a),
                ["bsdtar", "--format", "zip", "--options", f"zip:compression-level={level}", "-cf", bsd, "corpus"])

    # Update after 1 % of the files changed: each run starts from the level-1 archives of that tool.
    all_files = sorted(os.path.join(root, n) for root, _, names in os.walk(corpus) for n in names)
    rng = random.Random(11)

    def change_one_percent():
        for path in rng.sample(all_files, len(all_files) // 100):
            with open(path, "ab") as f:
                f.write(b"\nchanged\n")
            os.utime(path, (time.time() + 5, time.time() + 5))

    def prepare_update(source, target):
        def prepare():
            shutil.copyfile(archives[source], archives[target])
            change_one_percent()
        return prepare

    measure("update 1% vpk", prepare_update("ours1.zip", "upd_ours.zip"),
            [vpk, "add", "upd_ours.zip", "corpus", "-r", "-u", "-l", "1"])
    measure("update 1% 7zz", prepare_update("7z1.zip", "upd_7z.zip"),
            ["7zz", "u", "-tzip", "-mx1", "upd_7z.zip", "corpus"])

    # Extract and test the same archive (ours at level 6) with every tool.
    def fresh_out():
        remove(out)
        os.makedirs(out)

    measure("extract vpk", fresh_out, [vpk, "extract", "ours6.zip", "-d", "out", "-o"])
    measure("extract 7zz", fresh_out, ["7zz", "x", "-y", "-oout", "ours6.zip"])
    measure("extract bsdtar", fresh_out, ["bsdtar", "-xf", "ours6.zip", "-C", "out"])
    measure("test vpk", lambda: None, [vpk, "test", "ours6.zip"])
    measure("test 7zz", lambda: None, ["7zz", "t", "ours6.zip"])
    remove(out)

    size = {k: os.path.getsize(v) / 1e6 for k, v in archives.items() if os.path.exists(v)}
    t = {k: v[0] for k, v in results.items()}
    rows = [
        ("full build L1 vs 7zz", t["build L1 7zz"] / t["build L1 vpk"], ">= 2.5x"),
        ("full build L1 vs bsdtar", t["build L1 bsdtar"] / t["build L1 vpk"], ""),
        ("full build L6 vs 7zz", t["build L6 7zz"] / t["build L6 vpk"], ">= 4x"),
        ("full build L6 vs bsdtar", t["build L6 bsdtar"] / t["build L6 vpk"], ""),
        ("1% update vs 7zz u", t["update 1% 7zz"] / t["update 1% vpk"], ">= 1.2x"),
        ("extract vs bsdtar", t["extract bsdtar"] / t["extract vpk"], ">= 1.5x"),
        ("extract vs 7zz", t["extract 7zz"] / t["extract vpk"], ""),
        ("test vs 7zz t", t["test 7zz"] / t["test vpk"], ">= 3x"),
    ]
    print("\nratios (peer time / our time; above 1 means we are faster):")
    for name, ratio, target in rows:
        print(f"  {name:26s} {ratio:5.2f}x  {target}")
    print(f"  1% update / our L1 build   {100 * t['update 1% vpk'] / t['build L1 vpk']:5.1f} %  (< 15 %)")
    print(f"  archive size L1: ours {size['ours1.zip']:.0f} MB, 7zz {size['7z1.zip']:.0f} MB, "
          f"bsdtar {size['bsd1.zip']:.0f} MB; L6: ours {size['ours6.zip']:.0f} MB, 7zz -mx5 {size['7z5.zip']:.0f} MB")
    print(f"  our peak memory: {max(v[1] for k, v in results.items() if 'vpk' in k):.1f} MB (< 100 MB)")
    print(f"  cp -r yardstick {t['cp -r']:.2f} s")
    if not args.keep:
        for path in list(archives.values()) + [copy, out]:
            remove(path)


if __name__ == "__main__":
    main()
