#!/usr/bin/env python3
"""kelvo-run on many ports at once: 1, 8 and 32 modem simulators, each on a pty of its own, and one
kelvo-run that runs a sample script of the shipped library on all of them. For each count: the wall
time of the whole run beside a single run of the same script, and the CPU time that kelvo-run took
(user + system) as a share of the wall time; the runs mostly wait for the modems, so little CPU is
expected. Run from the repository root after `cmake --preset bench && cmake --build --preset bench`:

    bench/kelvo-run/many_ports.py [BIN_DIR] [--counts 1,8,32] [--repeat 3] [--library FILE]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

MODEM = "Hayes-совместимый модем"
SCRIPT = "Проверка связи с модемом"


def start_simulators(modemsim, count):
    sims = []
    for _ in range(count):
        proc = subprocess.Popen([modemsim], stdout=subprocess.PIPE, text=True)
        path = proc.stdout.readline().strip()
        if not path:
            raise SystemExit("modemsim printed no device path")
        sims.append((proc, path))
    return sims


def stop_simulators(sims):
    for proc, _ in sims:
        proc.terminate()
    for proc, _ in sims:
        proc.wait()


def run_once(kelvo_run, library, ports, empty_tty):
    """One kelvo-run on the ports: (wall seconds, CPU seconds of kelvo-run, exit status)."""
    env = dict(os.environ, KELVO_SYSFS_TTY=empty_tty, KELVO_PORTS=":".join(ports))
    start = time.monotonic()
    proc = subprocess.Popen([kelvo_run, "--library", library, "--all-ports", "--no-input", MODEM, SCRIPT],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    return wall, usage.ru_utime + usage.ru_stime, os.waitstatus_to_exitcode(status)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bin", nargs="?", default="build/bench/bin")
    parser.add_argument("--counts", default="1,8,32")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--library", default="data/kelvo.xml")
    args = parser.parse_args()
    kelvo_run = os.path.join(args.bin, "kelvo-run")
    library = args.library
    modemsim = os.path.join(args.bin, "modemsim")
    counts = [int(c) for c in args.counts.split(",")]
    print(f"{'ports':>5}  {'wall_s':>7}  {'vs_single':>9}  {'cpu_s':>6}  {'cpu_share':>9}  runs")
    single = None
    with tempfile.TemporaryDirectory() as empty_tty:
        for count in counts:
            sims = start_simulators(modemsim, count)
            try:
                results = [run_once(kelvo_run, library, [p for _, p in sims], empty_tty)
                           for _ in range(args.repeat)]
            finally:
                stop_simulators(sims)
            if any(code != 0 for _, _, code in results):
                raise SystemExit(f"a run on {count} ports failed: exit {[c for _, _, c in results]}")
            wall = statistics.median(w for w, _, _ in results)
            cpu = statistics.median(c for _, c, _ in results)
            if single is None:
                single = wall if count == 1 else None
            ratio = f"{wall / single:9.2f}" if single else f"{'-':>9}"
            print(f"{count:>5}  {wall:7.2f}  {ratio}  {cpu:6.3f}  {100 * cpu / wall:8.1f}%  {args.repeat}")
    print("goals: wall time at most 1.5 x the single run; CPU under 10 % of the wall time")


if __name__ == "__main__":
    sys.exit(main())
