#!/usr/bin/env python3
"""The profile test beside fio on the same folder, file size and queue.

For each standard profile, runs veltaro-cli --profile-spec and the equivalent fio job
(--ioengine=io_uring --direct=1) in turns, and prints both MB/s and IOPS and the median ratio
veltaro / fio. Both warm up for a second before the counted span; both lay out their file first.
Then the peak memory of a profile on a small and a large file.

    bench/profile_bench.py [--build build] [--dir /var/tmp/veltaro-profile-bench] [--reps 3]
                           [--seconds 3] [--size-mb 512] [--engine io_uring|threads]
"""
import argparse
import json
import os
import re
import statistics
import subprocess
import sys

MB = 1048576
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# name, fio rw, block size, depth, Veltaro spec
PROFILES = [
    ("seq1m-qd8-read", "read", "1m", 8, "seq,read,1m,qd8"),
    ("seq1m-qd1-read", "read", "1m", 1, "seq,read,1m,qd1"),
    ("rnd4k-qd32-read", "randread", "4k", 32, "rnd,read,4k,qd32"),
    ("rnd4k-qd1-read", "randread", "4k", 1, "rnd,read,4k,qd1"),
    ("seq1m-qd8-write", "write", "1m", 8, "seq,write,1m,qd8"),
    ("seq1m-qd1-write", "write", "1m", 1, "seq,write,1m,qd1"),
    ("rnd4k-qd32-write", "randwrite", "4k", 32, "rnd,write,4k,qd32"),
    ("rnd4k-qd1-write", "randwrite", "4k", 1, "rnd,write,4k,qd1"),
]


def veltaro(cli, folder, spec, seconds, size_mb, engine):
    args = [cli, "-n", "1", "-s", str(size_mb), "--profile-spec", f"{spec},{seconds}s,passes1", folder]
    if engine == "threads":
        args.insert(1, "--threads")
    env = dict(os.environ, LC_ALL="C", LANG="C")
    out = subprocess.run(args, capture_output=True, text=True, env=env).stdout
    m = re.search(r": ([0-9.,]+) MB/s, ([0-9,]+) IOPS", out)
    if not m:
        raise RuntimeError("no result line:\n" + out)
    return float(m.group(1).replace(",", "")), float(m.group(2).replace(",", ""))


def fio(folder, rw, bs, depth, seconds, size_mb):
    args = ["fio", "--name=bench", "--filename=" + os.path.join(folder, "fio.0.tst"),
            "--ioengine=io_uring", "--direct=1", f"--bs={bs}", f"--iodepth={depth}", f"--rw={rw}",
            "--numjobs=1", f"--size={size_mb}m", "--fallocate=none", "--time_based", f"--runtime={seconds}", "--ramp_time=1",
            "--group_reporting", "--output-format=json"]
    data = json.loads(subprocess.run(args, capture_output=True, text=True, check=True).stdout)
    job = data["jobs"][0]
    side = job["read"] if "read" in rw else job["write"]
    return side["bw_bytes"] / MB, side["iops"]


def lay_out(folder, size_mb):
    """fio's file, written through once as Veltaro writes its own: fio alone would only allocate
    it, and writes into allocated but unwritten extents cost the file system extra work."""
    with open(os.path.join(folder, "fio.0.tst"), "wb") as f:
        for _ in range(size_mb):
            f.write(os.urandom(MB))
        os.fsync(f.fileno())


def peak_kb(cli, folder, size_mb):
    args = ["/usr/bin/time", "-f", "%M", cli, "-n", "1", "-s", str(size_mb), "--profile-spec",
            "seq,write,1m,qd8,1s,passes1", folder]
    err = subprocess.run(args, capture_output=True, text=True).stderr
    return int(err.strip().splitlines()[-1])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--dir", default="/var/tmp/veltaro-profile-bench")
    ap.add_argument("--reps", type=int, default=3)
    ap.add_argument("--seconds", type=int, default=3)
    ap.add_argument("--size-mb", type=int, default=512)
    ap.add_argument("--engine", default="io_uring", choices=["io_uring", "threads"])
    ap.add_argument("--only", default="", help="comma-separated profile names")
    a = ap.parse_args()
    cli = os.path.join(a.build, "bin", "veltaro-cli")
    os.makedirs(a.dir, exist_ok=True)
    print(f"{'profile':18} {'Veltaro MB/s':>12} {'fio MB/s':>10} {'ratio':>6} "
          f"{'Veltaro IOPS':>12} {'fio IOPS':>10} {'ratio':>6}")
    worst = []
    lay_out(a.dir, a.size_mb)
    for name, rw, bs, depth, spec in PROFILES:
        if a.only and name not in a.only.split(","):
            continue
        v, f = [], []
        for _ in range(a.reps):
            v.append(veltaro(cli, a.dir, spec, a.seconds, a.size_mb, a.engine))
            f.append(fio(a.dir, rw, bs, depth, a.seconds, a.size_mb))
        mb_ratio = statistics.median(x[0] / y[0] for x, y in zip(v, f))
        io_ratio = statistics.median(x[1] / y[1] for x, y in zip(v, f))
        worst.append(min(mb_ratio, io_ratio))
        print(f"{name:18} {statistics.median(x[0] for x in v):12.1f} {statistics.median(y[0] for y in f):10.1f} "
              f"{mb_ratio:6.3f} {statistics.median(x[1] for x in v):12.0f} "
              f"{statistics.median(y[1] for y in f):10.0f} {io_ratio:6.3f}", flush=True)
    for n in os.listdir(a.dir):
        if n.startswith("fio."):
            os.remove(os.path.join(a.dir, n))
    small, large = peak_kb(cli, a.dir, 16), peak_kb(cli, a.dir, 1024)
    print(f"peak memory: 16 MB file {small} KB, 1024 MB file {large} KB")
    print("lowest median ratio:", f"{min(worst):.3f}" if worst else "-")
    return 0 if worst and min(worst) >= 0.97 else 1


if __name__ == "__main__":
    sys.exit(main())
