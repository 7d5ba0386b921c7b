#!/usr/bin/env python3
"""Runs named shell commands in turns and reports their wall-clock and CPU times.

    measure.py ROUNDS NAME=COMMAND [NAME=COMMAND...]

Every round runs each command once; the order turns by one each round, so that no command
always follows the same one. A command that fails is run once more and the failure is
reported; a second failure ends the measurement (exit 1).

Prints one line per round, then for each command
    "result NAME best_ms median_ms median_cpu_ms"
and for each pair of commands A, B (in the order given)
    "ratio A B median"   the median over rounds of B's wall time over A's in that round.
On a shared machine the pair ratio is the steadiest figure: both sides of a round meet the
same load, while the best and the median of a side each move with the load.
"""

import itertools
import os
import statistics
import subprocess
import sys
import time


def run_once(command):
    before = os.times()
    start = time.monotonic()
    status = subprocess.run(["bash", "-c", command], stdout=subprocess.DEVNULL).returncode
    wall = (time.monotonic() - start) * 1000
    after = os.times()
    cpu = ((after.children_user - before.children_user) + (after.children_system - before.children_system)) * 1000
    return status, wall, cpu


def main():
    rounds = int(sys.argv[1])
    commands = [arg.split("=", 1) for arg in sys.argv[2:]]
    names = [name for name, _ in commands]
    walls = {name: [] for name in names}
    cpus = {name: [] for name in names}
    for round_index in range(rounds):
        shift = round_index % len(commands)
        order = commands[shift:] + commands[:shift]
        parts = []
        for name, command in order:
            status, wall, cpu = run_once(command)
            if status != 0:
                print(f"note: round {round_index + 1}: {name} failed with status {status}, run again", flush=True)
                status, wall, cpu = run_once(command)
                if status != 0:
                    print(f"measure: {name} failed twice", file=sys.stderr)
                    return 1
            walls[name].append(wall)
            cpus[name].append(cpu)
            parts.append(f"{name} {wall:.0f} ms (cpu {cpu:.0f})")
        print(f"round {round_index + 1}: " + ", ".join(parts), flush=True)
    for name in names:
        print(f"result {name} {min(walls[name]):.0f} {statistics.median(walls[name]):.0f} "
              f"{statistics.median(cpus[name]):.0f}")
    for a, b in itertools.combinations(names, 2):
        ratios = [wb / wa for wa, wb in zip(walls[a], walls[b])]
        print(f"ratio {a} {b} {statistics.median(ratios):.3f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
