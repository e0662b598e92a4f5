#!/usr/bin/env python3
"""Start and close of the window with 10 000 recent targets in the settings file.

Writes a settings file with the targets (one of them not valid UTF-8), starts the window under
Xvfb, times until it is mapped, ends it with SIGTERM (the Exit command's way out, settings saved)
and times until the process has ended, then checks that
every target came back byte for byte.

    bench/recent_targets.py [--build build] [--count 10000] [--display :11]
"""
import argparse
import os
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--count", type=int, default=10000)
    ap.add_argument("--display", default=":11")
    args = ap.parse_args()
    binary_dir = os.path.join(args.build, "bin")

    with tempfile.TemporaryDirectory() as config:
        conf = os.path.join(config, "Tavrin.conf")
        paths = [b"/srv/targets/%05d/" % i for i in range(1, args.count + 1)]
        paths[1] = b"/mnt/caf\xe9/"
        with open(conf, "wb") as f:
            f.write(b"[Veltaro]\nNrFiles=20\nNrMBytes=10\nNrPrevPath=%d\n" % len(paths))
            for i, p in enumerate(paths, 1):
                f.write(b"PrevPath%d=%s\n" % (i, p))
            f.write(b"PrevPathSelected=0\n")

        xvfb = subprocess.Popen(["Xvfb", args.display, "-screen", "0", "1280x1024x24"],
                                stderr=subprocess.DEVNULL)
        time.sleep(1)
        env = dict(os.environ, DISPLAY=args.display, XDG_CONFIG_HOME=config)
        env.pop("QT_QPA_PLATFORM", None)
        try:
            start = time.monotonic()
            app = subprocess.Popen([os.path.join(binary_dir, "veltaro")], cwd=config, env=env)
            wid = None
            while time.monotonic() - start < 600:
                r = subprocess.run(["xdotool", "search", "--pid", str(app.pid), "--name", "Veltaro"],
                                   capture_output=True, text=True, env=env)
                if r.stdout.strip():
                    wid = r.stdout.split()[-1]
                    break
                time.sleep(0.02)
            shown = time.monotonic() - start
            if not wid:
                raise SystemExit("the window did not appear")
            time.sleep(0.5)
            closing = time.monotonic()
            # SIGTERM takes the Exit command's way: the close request, the settings saved, the end.
            app.terminate()
            app.wait(timeout=600)
            closed = time.monotonic() - closing
        finally:
            xvfb.terminate()
            xvfb.wait()

        with open(conf, "rb") as f:
            stored = dict(line.rstrip(b"\n").split(b"=", 1) for line in f if b"=" in line)
        kept = sum(stored.get(b"PrevPath%d" % i) == p for i, p in enumerate(paths, 1))
        print("recent targets: %d" % len(paths))
        print("start to window shown: %.3f s" % shown)
        print("close to process ended: %.3f s" % closed)
        print("exit code: %d" % app.returncode)
        print("targets kept byte for byte: %d of %d" % (kept, len(paths)))
        if kept != len(paths):
            raise SystemExit(1)


if __name__ == "__main__":
    main()
