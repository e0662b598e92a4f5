#!/usr/bin/env python3
"""What the window's being on screen costs a buffered single test, beside the bare write(2) loop.

In turns on the same folder: the main window shown (window_probe), shown but not painting during
the run (--no-paint), never shown (--hidden), the same with the offscreen platform, and bare.c's
loop. Prints each one's write rate, the paired ratios to the bare loop and to the hidden window
(median, and geometric mean with its 95 % interval), and the window's share between block calls.
A run on a busy virtual machine can take twice as long as the one before, so 30 reps or more.

    bench/window_share.py [--build build] [--dir /var/tmp/veltaro-bench] [--reps 30] [--count 4]
                          [--size 8] [--display :77]
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

from bench import bare, build_bareloop, clear_tst, format_interval, interval

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
VARIANTS = [("shown", [], "xcb"), ("no paint", ["--no-paint"], "xcb"), ("hidden", ["--hidden"], "xcb"),
            ("offscreen", [], "offscreen")]


def probe(binary, folder, count, size, args, platform, display):
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM=platform, LC_ALL="C", LANG="C")
    out = subprocess.run([binary, folder, str(count), str(size), "--cache"] + args, capture_output=True, text=True,
                         env=env, check=True).stdout.split()
    return float(out[0]), float(out[1])


def settle(folder):
    clear_tst(folder)
    subprocess.run(["sync"], check=True)
    time.sleep(0.3)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--dir", default="/var/tmp/veltaro-bench")
    ap.add_argument("--reps", type=int, default=30)
    ap.add_argument("--count", type=int, default=4)
    ap.add_argument("--size", type=int, default=8)
    ap.add_argument("--display", default=":77")
    a = ap.parse_args()
    binary = os.path.join(a.build, "bin", "window_probe")
    os.makedirs(a.dir, exist_ok=True)
    folder = os.path.realpath(a.dir)
    bareloop = build_bareloop(a.build)
    xvfb = subprocess.Popen(["Xvfb", a.display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    rows = []
    try:
        for rep in range(a.reps):
            row = {}
            for name, args, platform in VARIANTS:
                settle(folder)
                row[name] = probe(binary, folder, a.count, a.size, args, platform, a.display)
            settle(folder)
            row["bare"] = (bare(bareloop, folder, a.count, a.size, True), 0.0)
            rows.append(row)
            print("  %2d " % (rep + 1) + "  ".join("%s %.1f" % (k, v[0]) for k, v in row.items()), flush=True)
    finally:
        xvfb.terminate()
        xvfb.wait()
        clear_tst(folder)

    print("single %d x %d MB, cache enabled, %d reps: median MB/s, ratio median and geometric mean (95 %%)"
          % (a.count, a.size, len(rows)))
    for name, _, _ in VARIANTS:
        to_bare = [r[name][0] / r["bare"][0] for r in rows]
        to_hidden = [r[name][0] / r["hidden"][0] for r in rows]
        print("  %-10s %7.1f  /bare %.3f %-22s /hidden %.3f %-22s between calls %.2f %%"
              % (name, statistics.median(r[name][0] for r in rows), statistics.median(to_bare),
                 format_interval(interval(to_bare)), statistics.median(to_hidden),
                 format_interval(interval(to_hidden)), statistics.median(r[name][1] for r in rows)))
    print("  %-10s %7.1f" % ("bare", statistics.median(r["bare"][0] for r in rows)))


if __name__ == "__main__":
    sys.exit(main())
