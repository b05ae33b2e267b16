#!/usr/bin/env python3
"""Backup benchmark: what the automatic backup costs at the end of a run that
changed the file, and start-up with a full backups folder beside the file.

    python3 bench/backup.py [build dir] [runs]

Files: "family" (one child with all 36 months) and "large" (10,000 children),
made as bench/scale.py makes them. The backup is timed in-process (copy,
flush, rename, then the copy opened with the key, checked whole and its rows
counted), also with 22 backups in the folder, which rotation checks. Start-up
is timed as bench/startup.py times it, with and without 22 backups in
backups/ (target: app within 1.2 x floor either way).
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
bench = os.path.join(build, "bench")
installed = os.path.join(build, "template", "0-3.mdb")
env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"))

work = tempfile.mkdtemp()
dbs = {}
for name, children in (("family", 1), ("large", 10000)):
    dbs[name] = os.path.join(work, name, "0-3.mdb")
    os.makedirs(os.path.dirname(dbs[name]))
    shutil.copy(installed, dbs[name])
    subprocess.run([os.path.join(bench, "window_bench"), "fill", dbs[name], str(children)], env=env, check=True)


def run(args, capture=False):
    return subprocess.run([os.path.join(bench, "startup_bench")] + args, env=env, check=True,
                          capture_output=True, text=True).stdout


def wall(args):
    start = time.perf_counter()
    run(args)
    return (time.perf_counter() - start) * 1000


print(f"automatic backup at the end of a run (median of 11, ms):")
for name, db in dbs.items():
    size = os.path.getsize(db) / 1e6
    ms = int(run(["backup", db])) / 1000
    print(f"{name:>8}: {ms:7.1f}  ({size:.1f} MB file)")

# The backup timing left 10 + backups; top them up to 22 for the family file.
folder = os.path.join(os.path.dirname(dbs["family"]), "backups")
existing = sorted(os.listdir(folder))
for i in range(22 - len(existing)):
    shutil.copy(os.path.join(folder, existing[0]), os.path.join(folder, f"2025-{1 + i % 12:02d}-0{1 + i // 12}_08-00-00.mdb"))
bare = os.path.join(work, "bare", "0-3.mdb")
os.makedirs(os.path.dirname(bare))
shutil.copy(dbs["family"], bare)

modes = {"app, 22 backups": ["app", dbs["family"]], "app, none": ["app", bare], "floor": ["floor", bare]}
samples = {name: [] for name in modes}
for args in modes.values():  # warm-up
    wall(args)
for _ in range(runs):  # interleaved, so load changes hit all modes alike
    for name, args in modes.items():
        samples[name].append(wall(args))
median = {name: statistics.median(values) for name, values in samples.items()}
# Rotation checks every copy it counts once the folder holds more than ten.
full = int(run(["backup", dbs["family"]])) / 1000
shutil.rmtree(work)

print(f"start-up, runs per mode: {runs}")
for name in modes:
    print(f"{name:>16}: median {median[name]:7.1f} ms   / floor {median[name] / median['floor']:.2f}")
print(f"with backups / without: {median['app, 22 backups'] / median['app, none']:.2f}")
print(f"automatic backup with 22 backups in the folder (median of 11, ms): family {full:7.1f}")
