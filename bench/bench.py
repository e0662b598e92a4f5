#!/usr/bin/env python3
"""Veltaro's write and read phases beside fio and a bare write(2) loop on the same folder.

Runs the headless runner (veltaro-cli --json) and the equivalent fio job in turns, several times,
and prints both figures in MB/s (MB = 1048576 bytes, as the program counts) and the median ratio
veltaro / fio, with the system cache disabled and enabled. The bare loop (bareloop.c, built here
with cc) writes the same files in 1 KiB write(2) calls and nothing else: the least any tool can
cost; the ratio veltaro / bare is printed for the writes. Then the multiple test against fio's
round-robin job over 20 files, and the peak memory of 2 x 1 GB against 2 x 1 MB.

    bench/bench.py [--build build] [--dir /var/tmp/veltaro-bench] [--reps 5] [--quick]
    bench/bench.py --window      # the same single test through the real window under Xvfb
"""
import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

MB = 1048576
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def clear_tst(folder):
    for name in os.listdir(folder):
        if name.endswith(".tst") or name.startswith("fio.") or name.startswith("bare.") or name.endswith(".log"):
            os.remove(os.path.join(folder, name))


def summary_rates(text):
    """Write and read MB/s from a result log file's summary (the window writes no record)."""
    rates = re.findall(r"^([0-9.eE+-]+) MB/s\s*$", text, re.M)
    if len(rates) < 2:
        raise RuntimeError("no summary in the run's log:\n" + text)
    return float(rates[-2]), float(rates[-1])


def veltaro_cli(cli, folder, count, size, cache, multiple=False):
    args = [cli, "--json", "-n", str(count), "-s", str(size), folder]
    if cache:
        args.insert(1, "--cache")
    if multiple:
        args.insert(1, "--multiple")
    env = dict(os.environ, LC_ALL="C", LANG="C")
    record = json.loads(subprocess.run(args, capture_output=True, text=True, env=env, check=True).stdout)
    rates = {p["phase"]: p["rate_mb_per_s"] for p in record["phases"] if p["completed"]}
    if record["outcome"]["status"] != "complete" or len(rates) != 2:
        raise RuntimeError("the run did not complete: %s" % record["outcome"])
    return rates["write"], rates["read"]


def build_bareloop(build):
    binary = os.path.join(build, "bareloop")
    source = os.path.join(ROOT, "bench", "bareloop.c")
    if not os.path.exists(binary) or os.path.getmtime(binary) < os.path.getmtime(source):
        subprocess.run(["cc", "-O2", "-std=c11", "-o", binary, source], check=True)
    return binary


def bare(binary, folder, count, size, cache, multiple=False):
    out = subprocess.run([binary, folder, str(count), str(size), "0" if cache else "1", "1" if multiple else "0"],
                         capture_output=True, text=True, check=True).stdout
    return float(out)


def fio(folder, count, size, cache, rw, service="sequential", write_through=False):
    args = ["fio", "--name=veltaro", "--directory=" + folder, "--filename_format=fio.$filenum",
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
    for _ in range(reps):
        v = settled(ours)
        f = settled(theirs)
        rows.append((v, f))
        line = "  %-34s veltaro write %8.2f read %8.2f | fio write %8.2f read %8.2f" % (label, v[0], v[1], f[0], f[1])
        if least:
            bares.append(settled(least))
            line += " | bare write %8.2f" % bares[-1]
        print(line, flush=True)
    wr = statistics.median(v[0] / f[0] for v, f in rows)
    rr = statistics.median(v[1] / f[1] for v, f in rows)
    line = "  %-34s median ratio write %.3f  read %.3f" % (label, wr, rr)
    if least:
        line += "  veltaro/bare write %.3f" % statistics.median(v[0] / b for (v, _), b in zip(rows, bares))
    print(line, flush=True)
    return wr, rr


def peak_memory_kb(cli, folder, size):
    out = subprocess.run(["/usr/bin/time", "-v", cli, "--cache", "-n", "2", "-s", str(size), folder],
                         capture_output=True, text=True, env=dict(os.environ, LC_ALL="C"))
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", out.stderr).group(1))


def window_rates(binary_dir, folder, count, size, cache, display=":77"):
    """One "Start Single" through the real window under Xvfb, clicked with xdotool; the figures
    come from the result log file the run writes."""
    config = os.path.join(folder, ".config")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "Tavrin.conf"), "w") as f:
        f.write("[Veltaro]\nNrFiles=%d\nNrMBytes=%d\nNrPrevPath=1\nPrevPath1=%s/\nPrevPathSelected=0\n"
                % (count, size, folder))
    env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=config, LC_ALL="C", LANG="C")
    env.pop("QT_QPA_PLATFORM", None)
    app = subprocess.Popen([os.path.join(binary_dir, "veltaro")], cwd=binary_dir, env=env)
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

        click(225 + 100, 2475 + 120)           # Chk11: write the result log file
        if cache:
            click(225 + 100, 2940 + 120)       # chkDisableCaching off
        click(3180 + 660, 1455 + 210)          # Cmd11: "Start Single"
        deadline = time.time() + 600
        log = None
        while time.time() < deadline:
            logs = [n for n in os.listdir(folder) if n.startswith("Single_VeltaroLog_")]
            if logs:
                path = os.path.join(folder, logs[0])
                time.sleep(0.3)
                text = open(path, encoding="utf-8").read()
                if "Veltaro v." in text or "Veltaro Version" in text:
                    log = text
                    break
            time.sleep(0.2)
        if log is None:
            raise RuntimeError("no result log file")
        return summary_rates(log)
    finally:
        app.terminate()
        try:
            app.wait(5)
        except subprocess.TimeoutExpired:
            app.kill()
        shutil.rmtree(config, ignore_errors=True)
        clear_tst(folder)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--dir", default="/var/tmp/veltaro-bench")
    ap.add_argument("--reps", type=int, default=5)
    ap.add_argument("--quick", action="store_true", help="small files only")
    ap.add_argument("--window", action="store_true", help="through the window under Xvfb")
    ap.add_argument("--display", default=":77", help="the Xvfb display the window test starts")
    ap.add_argument("--only", choices=["single", "multiple", "memory"], help="one part only")
    ap.add_argument("--cache", choices=["disabled", "enabled"], help="one cache setting only")
    a = ap.parse_args()
    binary_dir = os.path.join(a.build, "bin")
    cli = os.path.join(binary_dir, "veltaro-cli")
    os.makedirs(a.dir, exist_ok=True)
    folder = os.path.realpath(a.dir)
    clear_tst(folder)
    sizes = [(4, 8)] if a.quick else [(4, 8), (4, 64)]
    bareloop = build_bareloop(a.build)

    if a.window:
        xvfb = subprocess.Popen(["Xvfb", a.display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"])
        time.sleep(1)
        try:
            for cache in [c for c in (False, True) if a.cache is None or c == (a.cache == "enabled")]:
                for count, size in sizes:
                    label = "window %dx%d MB cache %s" % (count, size, "on" if cache else "off")
                    compare(label, a.reps, lambda: window_rates(binary_dir, folder, count, size, cache, a.display),
                            lambda: fio_pair(folder, count, size, cache),
                            lambda: bare(bareloop, folder, count, size, cache))
        finally:
            xvfb.terminate()
        return

    caches = [c for c in (False, True) if a.cache is None or c == (a.cache == "enabled")]
    if a.only in (None, "single"):
        print("single test vs fio sequential (MB/s, MB = 1048576 bytes)")
    for cache in caches if a.only in (None, "single") else []:
        for count, size in sizes:
            label = "%d x %d MB, cache %s" % (count, size, "enabled" if cache else "disabled")
            compare(label, a.reps, lambda: veltaro_cli(cli, folder, count, size, cache),
                    lambda: fio_pair(folder, count, size, cache),
                    lambda: bare(bareloop, folder, count, size, cache))

    if a.only in (None, "multiple"):
        print("multiple test vs fio roundrobin, 20 files")
    for cache in caches if a.only in (None, "multiple") else []:
        size = 4 if a.quick else 8
        label = "20 x %d MB, cache %s" % (size, "enabled" if cache else "disabled")
        compare(label, a.reps, lambda: veltaro_cli(cli, folder, 20, size, cache, multiple=True),
                lambda: fio_pair(folder, 20, size, cache, service="roundrobin"),
                lambda: bare(bareloop, folder, 20, size, cache, multiple=True))

    if a.only in (None, "memory"):
        small = peak_memory_kb(cli, folder, 1)
        large = peak_memory_kb(cli, folder, 1024)
        print("peak memory: 2 x 1 MB %d KB, 2 x 1 GB %d KB (difference %d KB)" % (small, large, large - small))
    clear_tst(folder)


if __name__ == "__main__":
    sys.exit(main())
