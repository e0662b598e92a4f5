#!/usr/bin/env python3
"""Veltaro's write and read phases beside fio and a bare write(2) loop on the same folder.

Runs the headless runner (veltaro-cli --json) and the equivalent fio job in turns, several times,
and prints both figures in MB/s (MB = 1048576 bytes, as the program counts) and the median ratio
veltaro / fio, with the system cache disabled and enabled. The bare loop (bareloop.c, built here
with cc) writes the same files in 1 KiB write(2) calls and nothing else: the least any tool can
cost; the ratio veltaro / bare is printed for the writes. Then the multiple test against fio's
round-robin job over 20 files, the same single test with and without --verify (the cost of
generating and checking every block through the runner), and the peak memory of 2 x 1 GB against 2 x 1 MB. With --window the
same single and multiple runs are also made through the real window under Xvfb. A table of all
median ratios, and the geometric means of the write ratios with their 95 % intervals, ends the output.

Veltaro's figures here are the exact ones from its record (bytes over the phase's microsecond span);
the program's own figure counts whole milliseconds, which for a 25 ms file is 4 % either way, and is
printed beside. With --rt every contender runs at real-time priority (chrt -f, needs root), so what
else the machine does cannot interleave with one tool more than the other. The window's O_DIRECT
writes come out slower under it (median block 74-98 us against 57 us headless on the machine this
was written on, where without --rt the window's are 49 us): compare the window without --rt.

With --turns N only the write rates are compared, N rounds in quick turns (a sync between runs, no
pause): cheap enough for the hundreds of rounds that tell a per cent or two apart on a noisy
machine; each ratio is given as the median with its 95 % interval.

    bench/bench.py [--build build] [--dir /var/tmp/veltaro-bench] [--reps 5] [--quick] [--window] [--rt]
                   [--turns N [--window-only]] [--only single|multiple] [--cache disabled|enabled]
"""
import argparse
import contextlib
import json
import math
import os
import re
import shutil
import sqlite3
import statistics
import subprocess
import sys
import time

MB = 1048576
PRIORITY = []  # the prefix each contender runs under: chrt with --rt
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def clear_tst(folder):
    for name in os.listdir(folder):
        if name.endswith(".tst") or name.startswith("fio.") or name.startswith("bare.") or name.endswith(".log"):
            os.remove(os.path.join(folder, name))


def record_rates(record):
    """Write and read MB/s of a complete run: exact (bytes over the phase's span), then the program's."""
    phases = {p["phase"]: p for p in record["phases"] if p["completed"]}
    if record["outcome"]["status"] != "complete" or len(phases) != 2:
        raise RuntimeError("the run did not complete: %s" % record["outcome"])
    exact = [phases[n]["bytes_transferred"] / MB / (phases[n]["us"] / 1e6) for n in ("write", "read")]
    # The share of the write span spent between the write calls (pump, progress, bookkeeping): the
    # tool's own cost, free of the device's and the machine's noise that the ratios carry.
    w = phases["write"]
    outside = 1 - w["histogram"]["sum_ns"] / (w["us"] * 1000.0)
    return exact[0], exact[1], w["rate_mb_per_s"], phases["read"]["rate_mb_per_s"], outside


def veltaro_cli(cli, folder, count, size, cache, multiple=False, verify=False):
    args = [cli, "--json", "--no-history", "-n", str(count), "-s", str(size), folder]
    if verify:
        args.insert(1, "--verify")
    if cache:
        args.insert(1, "--cache")
    if multiple:
        args.insert(1, "--multiple")
    env = dict(os.environ, LC_ALL="C", LANG="C")
    record = json.loads(subprocess.run(PRIORITY + args, capture_output=True, text=True, env=env, check=True).stdout)
    if verify:
        failed = [f for p in record["phases"] for f in p["files"]
                  if f["verify"] and f["verify"]["bad_blocks"] + f["verify"]["misplaced_blocks"]]
        if failed or not any(f["verify"] for p in record["phases"] for f in p["files"]):
            raise RuntimeError("the verified run did not read back sound: %s" % failed)
    return record_rates(record)


def build_bareloop(build):
    binary = os.path.join(build, "bareloop")
    source = os.path.join(ROOT, "bench", "bareloop.c")
    if not os.path.exists(binary) or os.path.getmtime(binary) < os.path.getmtime(source):
        subprocess.run(["cc", "-O2", "-std=c11", "-o", binary, source], check=True)
    return binary


def bare(binary, folder, count, size, cache, multiple=False):
    out = subprocess.run(PRIORITY + [binary, folder, str(count), str(size), "0" if cache else "1", "1" if multiple else "0"],
                         capture_output=True, text=True, check=True).stdout
    return float(out)


def fio(folder, count, size, cache, rw, service="sequential", write_through=False):
    args = PRIORITY + ["fio", "--name=veltaro", "--directory=" + folder, "--filename_format=fio.$filenum",
            "--rw=" + rw, "--bs=1k", "--ioengine=sync", "--nrfiles=%d" % count,
            "--filesize=%dM" % size, "--size=%dM" % (count * size),
            "--file_service_type=" + service, "--fallocate=none", "--output-format=json"]
    if rw == "write":
        args += ["--create_on_open=1", "--direct=%d" % (0 if cache else 1)]
        if write_through:
            args.append("--sync=dsync")
    out = subprocess.run(args, capture_output=True, text=True, check=True).stdout
    job = json.loads(out[out.index("{"):])["jobs"][0]
    side = job["write" if rw == "write" else "read"]
    return side["bw_bytes"] / MB


def fio_pair(folder, count, size, cache, service="sequential"):
    """fio writes the files, then reads them back, as the two phases do."""
    write = fio(folder, count, size, cache, "write", service)
    read = fio(folder, count, size, cache, "read", service)
    clear_tst(folder)
    return write, read


# Student's t at 97.5 % for 1 to 30 degrees of freedom; past that the normal 1.96 is close enough.
T975 = [12.71, 4.30, 3.18, 2.78, 2.57, 2.45, 2.36, 2.31, 2.26, 2.23, 2.20, 2.18, 2.16, 2.14, 2.13, 2.12, 2.11,
        2.10, 2.09, 2.09, 2.08, 2.07, 2.07, 2.06, 2.06, 2.06, 2.05, 2.05, 2.05, 2.04]


def interval(ratios):
    """Geometric mean of paired ratios and its 95 % interval. A run here at random takes up to twice
    as long; the interval says whether the reps were enough to tell a few per cent apart."""
    logs = [math.log(r) for r in ratios]
    mean = statistics.fmean(logs)
    if len(logs) < 2:
        return math.exp(mean), None, None
    df = len(logs) - 1
    half = (T975[df - 1] if df <= len(T975) else 1.96) * statistics.stdev(logs) / math.sqrt(len(logs))
    return math.exp(mean), math.exp(mean - half), math.exp(mean + half)


def format_interval(i):
    return "%.3f" % i[0] if i[1] is None else "%.3f (%.3f-%.3f)" % i


SUMMARY = []


def compare(label, reps, ours, theirs, least=None):
    """Alternates the two (and the bare loop), reps times each; prints figures and the median
    ratios."""
    rows = []

    def settled(run):
        # The folder's mount discards freed blocks at the next commit: let the last run's
        # deletes reach the device before the next one is timed.
        os.sync()
        time.sleep(1)
        return run()

    bares = []
    runs = [ours, theirs] + ([least] if least else [])
    for rep in range(reps):
        # Each rep starts with another contender, so none always follows the same one.
        results = {}
        for i in range(len(runs)):
            k = (rep + i) % len(runs)
            results[k] = settled(runs[k])
        v, f = results[0], results[1]
        rows.append((v, f))
        line = "  %-40s veltaro write %8.2f (%8.2f, %4.1f %% between calls) read %8.2f (%8.2f) | fio write %8.2f read %8.2f" % (
            label, v[0], v[2], 100 * v[4], v[1], v[3], f[0], f[1])
        if least:
            bares.append(results[2])
            line += " | bare write %8.2f" % bares[-1]
        print(line, flush=True)
    wr = statistics.median(v[0] / f[0] for v, f in rows)
    rr = statistics.median(v[1] / f[1] for v, f in rows)
    br = statistics.median(v[0] / b for (v, _), b in zip(rows, bares)) if least else None
    pw = statistics.median(v[2] / f[0] for v, f in rows)
    outside = statistics.median(v[4] for v, _ in rows)
    wi = interval([v[0] / f[0] for v, f in rows])
    bi = interval([v[0] / b for (v, _), b in zip(rows, bares)]) if least else None
    line = "  %-40s median ratio write %.3f  read %.3f  (program's figure: write %.3f; %.1f %% between calls)" % (
        label, wr, rr, pw, 100 * outside)
    if least:
        line += "  veltaro/bare write %.3f" % br
    line += "  | 95 %% interval write/fio %s" % format_interval(wi)
    if least:
        line += "  write/bare %s" % format_interval(bi)
    print(line, flush=True)
    SUMMARY.append((label, wr, rr, br, outside, wi, bi))
    return wr, rr


def print_summary():
    print("\nmedian ratios on exact spans (write 0.99 / 1.00 against fio, 0.97 against bare, cache disabled / enabled),"
          " then the geometric means of the write ratios with their 95 % intervals")
    print("  %-40s %10s %10s %10s %8s  %-22s %-22s" % ("", "write/fio", "read/fio", "write/bare", "between",
                                                     "write/fio interval", "write/bare interval"))
    for label, wr, rr, br, outside, wi, bi in SUMMARY:
        print("  %-40s %10.3f %10.3f %10s %7.1f%%  %-22s %-22s" % (
            label, wr, rr, "%.3f" % br if br is not None else "-", 100 * outside, format_interval(wi),
            format_interval(bi) if bi else "-"))


def median_interval(ratios):
    """The median and its 95 % interval from the order statistics: no assumption on the shape of the
    noise, which on a shared machine has long tails."""
    s = sorted(ratios)
    n = len(s)
    k = int(math.floor((n - 1.96 * math.sqrt(n)) / 2))
    if k < 0:
        return statistics.median(s), None, None
    return statistics.median(s), s[k], s[n - 1 - k]


TURNS = []


def quick_turns(label, rounds, ours, theirs, least):
    """Write rates only, in quick turns: a sync between runs and no pause, so that what the machine
    does at the moment falls on all three. The rounds are cheap enough to run hundreds, which the
    median's interval needs when single runs swing by a third."""
    fio_ratios, bare_ratios = [], []
    runs = [ours, theirs, least]
    for rep in range(rounds):
        results = {}
        for i in range(len(runs)):
            k = (rep + i) % len(runs)
            os.sync()
            results[k] = runs[k]()
        v = results[0][0]
        fio_ratios.append(v / results[1])
        bare_ratios.append(v / results[2])
        print("    %-40s veltaro write %8.2f | fio write %8.2f | bare write %8.2f" % (label, v, results[1], results[2]),
              flush=True)
    wf, wb = median_interval(fio_ratios), median_interval(bare_ratios)
    print("  %-40s %d rounds: median write/fio %s  write/bare %s" % (
        label, rounds, format_interval(wf), format_interval(wb)), flush=True)
    TURNS.append((label, rounds, wf, wb))


def print_turns():
    print("\nquick turns: median write ratios with their 95 % intervals (goal: /fio 0.99 disabled, 1.00 enabled;"
          " /bare 0.97)")
    for label, rounds, wf, wb in TURNS:
        print("  %-40s %5d  write/fio %-22s write/bare %-22s" % (label, rounds, format_interval(wf),
                                                                 format_interval(wb)))


def peak_memory_kb(cli, folder, size):
    out = subprocess.run(["/usr/bin/time", "-v", cli, "--no-history", "--cache", "-n", "2", "-s", str(size), folder],
                         capture_output=True, text=True, env=dict(os.environ, LC_ALL="C"))
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", out.stderr).group(1))


def window_rates(binary_dir, folder, count, size, cache, display=":77", multiple=False):
    """One "Start Single" (or "Start Multiple") through the real window under Xvfb, clicked with
    xdotool; the figures come from the run's record, which the window keeps in its history."""
    config = os.path.join(folder, ".config")
    data = os.path.join(folder, ".data")
    runtime = os.path.join(folder, ".runtime")
    os.makedirs(config, exist_ok=True)
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    shutil.rmtree(data, ignore_errors=True)
    with open(os.path.join(config, "Tavrin.conf"), "w") as f:
        f.write("[Veltaro]\nNrFiles=%d\nNrMBytes=%d\nNrPrevPath=1\nPrevPath1=%s/\nPrevPathSelected=0\n"
                % (count, size, folder))
    env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=config, XDG_DATA_HOME=data, XDG_RUNTIME_DIR=runtime,
               LC_ALL="C", LANG="C")
    env.pop("QT_QPA_PLATFORM", None)
    app = subprocess.Popen(PRIORITY + [os.path.join(binary_dir, "veltaro")], cwd=binary_dir, env=env)
    try:
        wid = None
        for _ in range(100):
            r = subprocess.run(["xdotool", "search", "--pid", str(app.pid), "--name", "Veltaro"],
                               capture_output=True, text=True, env=env)
            if r.stdout.strip():
                wid = r.stdout.split()[-1]
                break
            time.sleep(0.1)
        if not wid:
            raise RuntimeError("the window did not appear")
        time.sleep(0.5)

        def click(twips_x, twips_y):
            # Controls sit in the view frame at (60, 315) twips; 15 twips a pixel.
            x, y = (60 + twips_x) // 15, (315 + twips_y) // 15
            subprocess.run(["xdotool", "mousemove", "--window", wid, str(x), str(y), "click", "1"],
                           env=env, check=True)
            time.sleep(0.2)

        if cache:
            click(225 + 100, 2940 + 120)       # chkDisableCaching off
        if multiple:
            click(3180 + 660, 1935 + 210)      # Cmd12: "Start Multiple"
        else:
            click(3180 + 660, 1455 + 210)      # Cmd11: "Start Single"
        history = os.path.join(data, "veltaro", "history.sqlite")
        deadline = time.time() + 600
        while time.time() < deadline:
            time.sleep(0.2)
            if not os.path.exists(history):
                continue
            try:
                with sqlite3.connect("file:%s?mode=ro" % history, uri=True, timeout=1) as db:
                    row = db.execute("SELECT record FROM runs ORDER BY id DESC LIMIT 1").fetchone()
            except sqlite3.Error:
                continue
            if row:
                return record_rates(json.loads(row[0]))
        raise RuntimeError("the window kept no record of the run")
    finally:
        app.terminate()
        try:
            app.wait(5)
        except subprocess.TimeoutExpired:
            app.kill()
        shutil.rmtree(config, ignore_errors=True)
        shutil.rmtree(data, ignore_errors=True)
        shutil.rmtree(runtime, ignore_errors=True)
        clear_tst(folder)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--dir", default="/var/tmp/veltaro-bench")
    ap.add_argument("--reps", type=int, default=5)
    ap.add_argument("--quick", action="store_true", help="small files only")
    ap.add_argument("--size", type=int, metavar="MB", help="the single test with 4 files of this size only")
    ap.add_argument("--window", action="store_true", help="through the window under Xvfb")
    ap.add_argument("--display", default=":77", help="the Xvfb display the window test starts")
    ap.add_argument("--window-only", action="store_true", help="with --turns: the window's runs only")
    ap.add_argument("--only", choices=["single", "multiple", "verify", "memory"], help="one part only")
    ap.add_argument("--cache", choices=["disabled", "enabled"], help="one cache setting only")
    ap.add_argument("--rt", action="store_true", help="every contender at real-time priority (root)")
    ap.add_argument("--turns", type=int, metavar="N",
                    help="instead of the comparison above: write rates only, N rounds in quick turns")
    a = ap.parse_args()
    if a.rt:
        PRIORITY[:] = ["chrt", "-f", "10"]
    binary_dir = os.path.join(a.build, "bin")
    cli = os.path.join(binary_dir, "veltaro-cli")
    os.makedirs(a.dir, exist_ok=True)
    folder = os.path.realpath(a.dir)
    clear_tst(folder)
    sizes = [(4, a.size)] if a.size else [(4, 8)] if a.quick else [(4, 8), (4, 64)]
    bareloop = build_bareloop(a.build)

    caches = [c for c in (False, True) if a.cache is None or c == (a.cache == "enabled")]
    if a.turns:
        turns_runs(a, cli, binary_dir, folder, sizes, caches, bareloop)
        clear_tst(folder)
        print_turns()
        return 0
    if a.only in (None, "single"):
        print("single test vs fio sequential (MB/s, MB = 1048576 bytes)")
    for cache in caches if a.only in (None, "single") else []:
        for count, size in sizes:
            label = row_label("headless", count, size, False, cache)
            compare(label, a.reps, lambda: veltaro_cli(cli, folder, count, size, cache),
                    lambda: fio_pair(folder, count, size, cache),
                    lambda: bare(bareloop, folder, count, size, cache))

    if a.only in (None, "multiple"):
        print("multiple test vs fio roundrobin, 20 files")
    for cache in caches if a.only in (None, "multiple") else []:
        size = 4 if a.quick else 8
        label = row_label("headless", 20, size, True, cache)
        compare(label, a.reps, lambda: veltaro_cli(cli, folder, 20, size, cache, multiple=True),
                lambda: fio_pair(folder, 20, size, cache, service="roundrobin"),
                lambda: bare(bareloop, folder, 20, size, cache, multiple=True))

    if a.only in (None, "verify"):
        print("single test with --verify beside the same run without it (MB/s)")
    for cache in caches if a.only in (None, "verify") else []:
        count, size = sizes[-1]
        rows = []
        for _ in range(a.reps):
            plain = veltaro_cli(cli, folder, count, size, cache)
            verified = veltaro_cli(cli, folder, count, size, cache, verify=True)
            rows.append((plain, verified))
            print("  %d x %d MB, cache %-8s plain write %8.2f read %8.2f | verify write %8.2f read %8.2f"
                  % (count, size, "enabled" if cache else "disabled", plain[0], plain[1], verified[0], verified[1]),
                  flush=True)
        print("  median ratio verify/plain write %.3f  read %.3f"
              % (statistics.median(v[0] / p[0] for p, v in rows), statistics.median(v[1] / p[1] for p, v in rows)),
              flush=True)

    if a.window and a.only in (None, "single", "multiple"):
        window_runs(a, binary_dir, folder, sizes, caches, bareloop)

    if a.only in (None, "memory"):
        small = peak_memory_kb(cli, folder, 1)
        large = peak_memory_kb(cli, folder, 1024)
        print("peak memory: 2 x 1 MB %d KB, 2 x 1 GB %d KB (difference %d KB)" % (small, large, large - small))
    clear_tst(folder)
    print_summary()


def test_rows(a, sizes):
    """(count, size, multiple) of each test the options select."""
    rows = []
    if a.only in (None, "single"):
        rows += [(count, size, False) for count, size in sizes]
    if a.only in (None, "multiple"):
        rows.append((20, 4 if a.quick else 8, True))
    return rows


def row_label(where, count, size, multiple, cache):
    return "%s %s %dx%d MB, cache %s" % (where, "multiple" if multiple else "single", count, size,
                                         "enabled" if cache else "disabled")


@contextlib.contextmanager
def xvfb(a):
    # The display server is part of the desktop the window runs on: the same priority.
    server = subprocess.Popen(PRIORITY + ["Xvfb", a.display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"])
    time.sleep(1)
    try:
        yield
    finally:
        server.terminate()
        server.wait()


def turns_runs(a, cli, binary_dir, folder, sizes, caches, bareloop):
    """The single and the multiple test headless (and with --window through the window) in quick
    turns with fio's write job and the bare loop."""
    rows = test_rows(a, sizes)

    def fio_write(count, size, cache, multiple):
        rate = fio(folder, count, size, cache, "write", "roundrobin" if multiple else "sequential")
        clear_tst(folder)
        return rate

    print("quick turns, write rates (MB/s, MB = 1048576 bytes)")
    for cache in caches if not a.window_only else []:
        for count, size, multiple in rows:
            quick_turns(row_label("headless", count, size, multiple, cache), a.turns,
                        lambda: veltaro_cli(cli, folder, count, size, cache, multiple=multiple),
                        lambda: fio_write(count, size, cache, multiple),
                        lambda: bare(bareloop, folder, count, size, cache, multiple))
    if not (a.window or a.window_only):
        return
    with xvfb(a):
        for cache in caches:
            for count, size, multiple in rows:
                quick_turns(row_label("window", count, size, multiple, cache), a.turns,
                            lambda: window_rates(binary_dir, folder, count, size, cache, a.display, multiple),
                            lambda: fio_write(count, size, cache, multiple),
                            lambda: bare(bareloop, folder, count, size, cache, multiple))


def window_runs(a, binary_dir, folder, sizes, caches, bareloop):
    """The single and the multiple test through the window, beside fio and the bare loop."""
    print("through the window under Xvfb %s" % a.display)
    with xvfb(a):
        for cache in caches:
            for count, size, multiple in test_rows(a, sizes):
                compare(row_label("window", count, size, multiple, cache), a.reps,
                        lambda: window_rates(binary_dir, folder, count, size, cache, a.display, multiple),
                        lambda: fio_pair(folder, count, size, cache, "roundrobin" if multiple else "sequential"),
                        lambda: bare(bareloop, folder, count, size, cache, multiple))


if __name__ == "__main__":
    sys.exit(main())
