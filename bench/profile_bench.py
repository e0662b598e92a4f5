#!/usr/bin/env python3
"""The profile test beside fio on the same folder, file size and queue.

For each standard profile, runs veltaro-cli --profile-spec and the equivalent fio job
(--ioengine=io_uring --direct=1) in turns, and prints both MB/s and IOPS and the median ratio
veltaro / fio. Then the peak memory of a profile on a small and a large file.

Both tools do the same work: each run gets a file freshly written through (O_DIRECT, random data,
flushed) before it and deleted after it, as Veltaro does with its own; fio warms up as long as
Veltaro (a quarter of the span, at most a second), registers its buffers and file as Veltaro does,
and picks random blocks without a map, as Veltaro does. After every run the bench flushes and waits
until the device is idle, so the blocks one tool freed (discarded on a file system mounted with
"discard") and the device's write cache are not paid for by the next. The order alternates per
repetition.

Veltaro's buffers for blocks of 64 KiB and more are huge pages where the system gives them, so a
1 MiB block reaches the device as one request; fio's are 4 KiB pages by default, and a device that
takes fewer segments per request than a block has pages gets it split. The "KiB/request" columns
show it; --fio-mem mmaphuge:/dev/hugepages/fio.mem (hugetlbfs mounted, vm.nr_hugepages set) gives
fio huge pages too.

    bench/profile_bench.py [--build build] [--dir /var/tmp/veltaro-profile-bench] [--reps 3]
                           [--seconds 3] [--size-mb 512] [--engine io_uring|threads] [--quick]
                           [--fio-mem malloc|mmaphuge:FILE]
"""

import argparse
import json
import mmap
import os
import re
import statistics
import subprocess
import sys
import time

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


def warm_up_ms(seconds):
    """Veltaro's uncounted warm-up before a timed pass."""
    return min(1000, max(1, seconds * 1000 // 4))


def fio(folder, rw, bs, depth, seconds, size_mb, mem="malloc"):
    args = ["fio", "--name=bench", "--filename=" + fio_file(folder),
            "--ioengine=io_uring", "--direct=1", f"--bs={bs}", f"--iodepth={depth}", f"--rw={rw}",
            "--numjobs=1", f"--size={size_mb}m", "--fallocate=none", "--time_based", f"--runtime={seconds}",
            f"--ramp_time={warm_up_ms(seconds)}ms", "--fixedbufs=1", "--registerfiles=1", "--norandommap",
            "--group_reporting", "--output-format=json", f"--mem={mem}"]
    data = json.loads(subprocess.run(args, capture_output=True, text=True, check=True).stdout)
    job = data["jobs"][0]
    side = job["read"] if "read" in rw else job["write"]
    return side["bw_bytes"] / MB, side["iops"]


def fio_file(folder):
    return os.path.join(folder, "fio.0.tst")


def lay_out(path, size_mb):
    """A file written through as Veltaro writes its own before timing: 1 MiB of random data at a
    time past the page cache, then flushed, so fio meets the same written extents and no cached pages."""
    buf = mmap.mmap(-1, MB)
    buf.write(os.urandom(MB))
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC | os.O_DIRECT, 0o644)
    try:
        for i in range(size_mb):
            os.pwrite(fd, buf, i * MB)
        os.fdatasync(fd)
    finally:
        os.close(fd)


def settle(device):
    """Flushes, then waits until the device has nothing in flight (at most 10 s)."""
    os.sync()
    stat = f"/sys/block/{device}/inflight" if device else ""
    deadline = time.monotonic() + 10
    while stat and time.monotonic() < deadline:
        with open(stat) as f:
            if sum(int(x) for x in f.read().split()) == 0:
                break
        time.sleep(0.05)
    time.sleep(0.5)


def block_device(folder):
    """The whole disk behind folder ("vda"), or "" when it cannot be told."""
    try:
        dev = os.stat(folder).st_dev
        link = os.path.realpath(f"/sys/dev/block/{os.major(dev)}:{os.minor(dev)}")
        if os.path.exists(os.path.join(link, "partition")):
            link = os.path.dirname(link)
        return os.path.basename(link)
    except OSError:
        return ""


def disk_requests(device):
    """Requests and sectors the device has completed so far, reads then writes (/sys/block/*/stat)."""
    try:
        with open(f"/sys/block/{device}/stat") as f:
            v = [int(x) for x in f.read().split()]
        return v[0], v[2], v[4], v[6]
    except (OSError, ValueError, IndexError):
        return None


def request_kib(before, after, write):
    """Mean size of the device's requests between two disk_requests() readings, in KiB."""
    if not before or not after:
        return float("nan")
    i = 2 if write else 0
    ios, sectors = after[i] - before[i], after[i + 1] - before[i + 1]
    return sectors / 2 / ios if ios else float("nan")


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
    ap.add_argument("--fio-mem", default="malloc",
                    help="fio's buffers, e.g. mmaphuge:/dev/hugepages/fio.mem for huge pages as Veltaro's")
    ap.add_argument("--only", default="", help="comma-separated profile names")
    ap.add_argument("--quick", action="store_true", help="2 s spans on a 256 MB file")
    a = ap.parse_args()
    if a.quick:
        a.seconds, a.size_mb = 2, 256
    cli = os.path.join(a.build, "bin", "veltaro-cli")
    os.makedirs(a.dir, exist_ok=True)
    device = block_device(a.dir)
    print(f"{a.dir} on {device or '?'}, {a.size_mb} MB file, {a.seconds} s, {a.reps} runs each")
    print(f"{'profile':18} {'Veltaro MB/s':>12} {'fio MB/s':>10} {'ratio':>6} "
          f"{'Veltaro IOPS':>12} {'fio IOPS':>10} {'ratio':>6}  {'KiB/request V fio':>17}  "
          f"{'MB/s ratio of each pair':>24}")

    # The mean size of the requests the device saw tells whether a block reached it whole or split;
    # Veltaro's count includes the writes that create its file.
    sizes = {"v": [], "f": []}

    def run_veltaro(spec):
        before = disk_requests(device)
        result = veltaro(cli, a.dir, spec, a.seconds, a.size_mb, a.engine)
        sizes["v"].append(request_kib(before, disk_requests(device), ",write," in spec))
        settle(device)
        return result

    def run_fio(rw, bs, depth):
        lay_out(fio_file(a.dir), a.size_mb)
        try:
            before = disk_requests(device)
            result = fio(a.dir, rw, bs, depth, a.seconds, a.size_mb, a.fio_mem)
            sizes["f"].append(request_kib(before, disk_requests(device), "write" in rw))
            return result
        finally:
            os.remove(fio_file(a.dir))
            settle(device)

    worst = []
    settle(device)
    for name, rw, bs, depth, spec in PROFILES:
        if a.only and name not in a.only.split(","):
            continue
        v, f = [], []
        sizes["v"].clear()
        sizes["f"].clear()
        for rep in range(a.reps):
            if rep % 2 == 0:
                v.append(run_veltaro(spec))
                f.append(run_fio(rw, bs, depth))
            else:
                f.append(run_fio(rw, bs, depth))
                v.append(run_veltaro(spec))
        mb_ratio = statistics.median(x[0] / y[0] for x, y in zip(v, f))
        io_ratio = statistics.median(x[1] / y[1] for x, y in zip(v, f))
        worst.append(min(mb_ratio, io_ratio))
        print(f"{name:18} {statistics.median(x[0] for x in v):12.1f} {statistics.median(y[0] for y in f):10.1f} "
              f"{mb_ratio:6.3f} {statistics.median(x[1] for x in v):12.0f} "
              f"{statistics.median(y[1] for y in f):10.0f} {io_ratio:6.3f}  "
              f"{statistics.median(sizes['v']):8.0f} {statistics.median(sizes['f']):8.0f}  "
              + " ".join(f"{x[0] / y[0]:.2f}" for x, y in zip(v, f)), flush=True)
    small, large = peak_kb(cli, a.dir, 16), peak_kb(cli, a.dir, 1024)
    print(f"peak memory: 16 MB file {small} KB, 1024 MB file {large} KB")
    print("lowest median ratio:", f"{min(worst):.3f}" if worst else "-")
    return 0 if worst and min(worst) >= 0.97 else 1


if __name__ == "__main__":
    sys.exit(main())
