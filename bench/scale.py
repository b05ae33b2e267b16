#!/usr/bin/env python3
"""Scale benchmark: start-up, every window's load and the report request on a
large database, beside the same measurements on the installed one.

    python3 bench/scale.py [build dir] [runs]

The large database is a copy of the installed one with 10,000 children in
`user`; the first of them, the current child, has all 36 months recorded and
scored (a month age is recorded once in the whole file, so 36 rows is every
month there can be). The questionnaire is the installed one, complete. The
installed database has no child, so its windows take the new family's path; a
third file, "family" (one child with all 36 months), shows the same paths at a
family's size. Targets: each window within 1.2
times its figure on the installed database and under 50 ms; start-up within 1.2
times a bare Qt main window that opens the same encrypted file once.
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
dbs = {name: os.path.join(work, name, "0-3.mdb") for name in ("installed", "family", "large")}
for name, path in dbs.items():
    os.makedirs(os.path.dirname(path))
    shutil.copy(installed, path)
    children = {"family": 1, "large": 10000}.get(name)
    if children:
        subprocess.run([os.path.join(bench, "window_bench"), "fill", path, str(children)], env=env, check=True)


def windows(db):
    out = subprocess.run([os.path.join(bench, "window_bench"), "windows", db, str(runs)], env=env, check=True,
                         capture_output=True, text=True).stdout
    return {name: float(ms) for name, ms in (line.split() for line in out.splitlines())}


def start(args):
    begin = time.perf_counter()
    subprocess.run([os.path.join(bench, "startup_bench")] + args, env=env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return (time.perf_counter() - begin) * 1000


def args(name, mode):
    # The application starts as a user's own copy of the installed file, as
    # bench/startup.py has it.
    return [mode, dbs[name]] + ([installed] if mode == "app" else [])


loads = {name: windows(db) for name, db in dbs.items()}
starts = {(name, mode): [] for name in dbs for mode in ("app", "floor")}
for key in starts:  # warm-up
    start(args(*key))
for _ in range(runs):  # interleaved, so load changes hit all alike
    for key in starts:
        starts[key].append(start(args(*key)))
shutil.rmtree(work)

print(f"runs: {runs}; medians in ms. installed: as installed, no child; family: one child with all 36 months;")
print("large: 10,000 children, the first with all 36 months. Target: large within 1.2 x installed, under 50 ms")
print(f"{'':>10} {'installed':>10} {'family':>10} {'large':>10} {'/installed':>11} {'/family':>8}")
for name in loads["installed"]:
    a, f, b = (loads[db][name] for db in ("installed", "family", "large"))
    ok = "ok" if b <= 1.2 * a and b < 50 else "under 50 ms" if b < 50 else "MISSED"
    print(f"{name:>10} {a:10.2f} {f:10.2f} {b:10.2f} {b / a if a else float('inf'):11.2f} {b / f:8.2f}  {ok}")
print("start-up, own process each run (target: app within 1.2 x floor on the same file):")
for name in dbs:
    app, floor = statistics.median(starts[(name, "app")]), statistics.median(starts[(name, "floor")])
    ok = "ok" if app <= 1.2 * floor else "MISSED"
    print(f"{name:>10}: app {app:7.1f}  floor {floor:7.1f}  app / floor {app / floor:.2f}  {ok}")
