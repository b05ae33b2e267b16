#!/usr/bin/env python3
"""Start-up benchmark: medians over repeated runs, and their ratios.

    python3 bench/startup.py [build dir] [runs]

Compares the application's start-up (until its main window is shown) with a
bare Qt main window with one menu, and with the floor: that bare window also
opening the encrypted database once. The application starts as a user's own
copy of the installed database, so its start-up includes finding out whether
that copy needs an update. Also prints the time to open one more database
handle while the main window holds one.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 21
exe = os.path.join(build, "bench", "startup_bench")
installed = os.path.join(build, "template", "0-3.mdb")
env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"))

work = tempfile.mkdtemp()
db = os.path.join(work, "0-3.mdb")
shutil.copy(installed, db)


def wall(args):
    start = time.perf_counter()
    subprocess.run([exe] + args, env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return (time.perf_counter() - start) * 1000


modes = {"app": ["app", db, installed], "bare": ["bare"], "floor": ["floor", db]}
samples = {name: [] for name in modes}
for name, args in modes.items():  # warm-up
    wall(args)
for _ in range(runs):  # interleaved, so load changes hit all modes alike
    for name, args in modes.items():
        samples[name].append(wall(args))

median = {name: statistics.median(values) for name, values in samples.items()}
handles = [int(subprocess.run([exe, "handle", db], env=env, check=True, capture_output=True, text=True).stdout)
           for _ in range(5)]
shutil.rmtree(work)

print(f"runs per mode: {runs}")
for name in modes:
    print(f"{name:>6}: median {median[name]:7.1f} ms")
print(f"app / bare : {median['app'] / median['bare']:.2f}")
print(f"app / floor: {median['app'] / median['floor']:.2f}  (target at most 1.2)")
print(f"one more handle with the main window open: median {statistics.median(handles) / 1000:.3f} ms (target under 5 ms)")
