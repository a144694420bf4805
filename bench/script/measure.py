#!/usr/bin/env python3
"""Runs one command several times through the launcher run_usage (built with the bench preset)
and prints its median CPU time (user + system, from wait4), its median wall time and its largest
peak resident set, as "cpu wall peak_kib" on one line. The output of every run must equal the
first run's, so a faster run cannot be a wrong one.

Usage: measure.py RUNS LAUNCHER COMMAND [ARG...]
"""

import statistics
import subprocess
import sys
import time


def run_once(launcher, argv):
    t0 = time.perf_counter()
    proc = subprocess.run([launcher] + argv, capture_output=True, check=False)
    wall = time.perf_counter() - t0
    lines = proc.stderr.decode(errors="replace").splitlines()
    if proc.returncode != 0 or not lines:
        sys.stderr.write("\n".join(lines) + "\n")
        raise SystemExit(f"{' '.join(argv)} exited with {proc.returncode}")
    cpu, peak = lines[-1].split()
    return proc.stdout, float(cpu), wall, int(peak)


def main():
    if len(sys.argv) < 4:
        raise SystemExit(__doc__)
    runs = int(sys.argv[1])
    launcher = sys.argv[2]
    argv = sys.argv[3:]
    cpus, walls, peaks = [], [], []
    expected = None
    for _ in range(runs):
        out, cpu, wall, peak = run_once(launcher, argv)
        if expected is None:
            expected = out
        elif out != expected:
            raise SystemExit(f"output changed between runs of {' '.join(argv)}")
        cpus.append(cpu)
        walls.append(wall)
        peaks.append(peak)
    print(f"{statistics.median(cpus):.4f} {statistics.median(walls):.4f} {max(peaks)}")


if __name__ == "__main__":
    main()
