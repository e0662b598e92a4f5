#!/usr/bin/env python3
"""What the read figure measures: the single test with the system cache disabled, without and with
"Read from the device" (--read-uncached), beside fio's own O_DIRECT read in 1 KiB blocks of files
of the same names and sizes in the same folder. MB/s with MB = 1048576 bytes.

    bench/read_device.py [--build build] [--dir /var/tmp/veltaro-bench] [--reps 3] [-n 4] [-s 16]
"""
import argparse
import os
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench import MB, ROOT, clear_tst, summary_rates  # noqa: E402


def veltaro(cli, folder, count, size, read_uncached):
    args = [cli, "-n", str(count), "-s", str(size)]
    if read_uncached:
        args.append("--read-uncached")
    args.append(folder)
    env = dict(os.environ, LC_ALL="C", LANG="C")
    done = subprocess.run(args, capture_output=True, text=True, env=env)
    return summary_rates(done.stdout)


def fio_direct_read(folder, count, size):
    """fio lays out 1.tst .. n.tst with direct writes, then reads them with O_DIRECT in 1 KiB."""
    names = ":".join("%d.tst" % f for f in range(1, count + 1))
    common = ["fio", "--name=veltaro", "--directory=" + folder, "--filename=" + names,
              "--bs=1k", "--ioengine=sync", "--size=%dM" % (count * size),
              "--file_service_type=sequential", "--direct=1", "--output-format=json"]
    subprocess.run(common + ["--rw=write", "--fallocate=none"], capture_output=True, check=True)
    out = subprocess.run(common + ["--rw=read"], capture_output=True, text=True, check=True).stdout
    import json
    job = json.loads(out[out.index("{"):])["jobs"][0]
    clear_tst(folder)
    return job["read"]["bw_bytes"] / MB


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--dir", default="/var/tmp/veltaro-bench")
    ap.add_argument("--reps", type=int, default=3)
    ap.add_argument("-n", type=int, default=4)
    ap.add_argument("-s", type=int, default=16)
    a = ap.parse_args()
    os.makedirs(a.dir, exist_ok=True)
    clear_tst(a.dir)
    cli = os.path.join(a.build, "bin", "veltaro-cli")
    rows = {"classic read (through the cache)": [], "read from the device": [], "fio O_DIRECT 1 KiB": []}
    writes = []
    for _ in range(a.reps):
        w, r = veltaro(cli, a.dir, a.n, a.s, False)
        writes.append(w)
        rows["classic read (through the cache)"].append(r)
        w, r = veltaro(cli, a.dir, a.n, a.s, True)
        writes.append(w)
        rows["read from the device"].append(r)
        rows["fio O_DIRECT 1 KiB"].append(fio_direct_read(a.dir, a.n, a.s))
    print("%d files x %d MB in %s, %d runs each, cache disabled; median MB/s" % (a.n, a.s, a.dir, a.reps))
    print("| read | MB/s (median) | runs |")
    print("|---|---|---|")
    for label, values in rows.items():
        print("| %s | %.1f | %s |" % (label, statistics.median(values), " ".join("%.1f" % v for v in values)))
    print("| (write, both runs) | %.1f | |" % statistics.median(writes))


if __name__ == "__main__":
    main()
