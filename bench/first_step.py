"""How soon a resting character takes its first step after the pointer starts to move.

kurun.exe runs alone on its own Xvfb under the private prefix. For each trial, once every
character has stood still for a while (so the program rests), the pointer jumps 80 px and Pelton's
X position is polled until it changes. Prints the median and the maximum delay of the trials, for
each program given (an earlier build too, with --before). The figures are worth something only on
a quiet machine.

    python3 bench/first_step.py [--before OLD/kurun.exe] [--trials 20] [path/to/kurun.exe]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import peer_cost
from peer_cost import PREFIX, ROOT, Display, log, stop, wait_for_wine, wine_env

SPOTS = ((400, 400), (480, 400))  # the pointer goes back and forth between them
REST = 1.5  # seconds Pelton stands before each trial


def pelton_x(display, window):
    out = subprocess.run(["xdotool", "getwindowgeometry", window], env=display.env, capture_output=True,
                         text=True).stdout
    for line in out.splitlines():
        if "Position:" in line:
            return line.split()[1].split(",")[0]
    return None


def wait_standing(display, quiet, longest=90.0):
    """Waits until no window of the screen has moved for `quiet` seconds: every character rests."""
    last, since, end = display.windows(), time.monotonic(), time.monotonic() + longest
    while time.monotonic() < end:
        time.sleep(0.1)
        now = display.windows()
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= quiet:
            return True
    return False


def delays(exe, trials):
    """The first-step delays, in seconds, of `trials` pointer moves."""
    display = Display()
    folder = tempfile.mkdtemp(prefix="kurun-first-step-")
    wait_for_wine(PREFIX)
    move = lambda x, y: subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=display.env)
    procs = []
    try:
        program = shutil.copy2(exe, folder)
        procs = [subprocess.Popen(["wine", program], cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  env=dict(wine_env(PREFIX), DISPLAY=display.env["DISPLAY"]))]
        if not display.wait_window("^Pelton$"):
            sys.exit(f"{exe}: no Pelton")
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Pelton$"], env=display.env,
                                capture_output=True, text=True).stdout.split()[0]
        move(*SPOTS[0])
        found = []
        for trial in range(trials):
            if not wait_standing(display, REST):
                log(f"trial {trial + 1}: the characters never stood still")
                continue
            before = pelton_x(display, window)
            move(*SPOTS[(trial + 1) % 2])
            start = time.monotonic()
            while pelton_x(display, window) == before and time.monotonic() - start < 5:
                pass
            found.append(time.monotonic() - start)
        return found
    finally:
        stop(procs)
        wait_for_wine(PREFIX)
        display.close()
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("kurun", nargs="?", default=os.path.join(ROOT, "build", "windows", "kurun.exe"))
    parser.add_argument("--before", help="an earlier kurun.exe, measured in the same run")
    parser.add_argument("--trials", type=int, default=20)
    args = parser.parse_args()
    peer_cost.ensure_prefixes(["bare"])
    programs = ([("before", args.before)] if args.before else []) + [("kurun.exe", args.kurun)]
    print("| | trials | median | maximum |")
    print("|---|---|---|---|")
    for label, exe in programs:
        found = delays(os.path.abspath(exe), args.trials)
        if found:
            print(f"| {label} | {len(found)} | {1000 * statistics.median(found):.0f} ms | {1000 * max(found):.0f} ms |")


if __name__ == "__main__":
    main()
