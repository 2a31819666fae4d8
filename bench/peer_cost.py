"""CPU cost of kurun.exe under Wine beside a native peer, four oneko cats, in one run.

Each program runs alone on its own Xvfb (1920 x 1080) while the pointer circles the middle of the
screen (radius 400 px, one turn in 20 s), so every chaser keeps walking; then the pointer stops
and, once no window has moved for a while, the same is measured at rest. CPU is utime + stime
from /proc/PID/stat over 20 s, as a share of one core: the program's own processes, Wine's
processes of the private prefix (wineserver, explorer, services, ...) and the X server.

    python3 bench/peer_cost.py [--wine10] [path/to/kurun.exe]

With --wine10 kurun.exe runs under the Wine 10 of scripts/wine10.sh (its chroot and prefix, made
first when missing), on the bench's Xvfb like Wine 8 and the peer.

It prints figures and never fails on them. Run it alone: anything else on the machine, and any
other Wine program of the same prefix, shows up in the figures.
"""
import hashlib
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
WINE10 = "--wine10" in sys.argv[1:]
PREFIX = os.path.join(ROOT, "build", "wine10/wine-prefix" if WINE10 else "wine-prefix")
WINE_NAME = "Wine 10 (chroot)" if WINE10 else "Wine"
ONEKO = "/usr/games/oneko"
ONEKO_ARGS = ["-time", "50000", "-speed", "2"]  # the same 50 ms tick and 40 px/s
SCREEN = (1920, 1080)
RADIUS, TURN = 400, 20.0
STEP = 0.05  # pointer update, seconds
MEASURE = 20.0
CLOCK = os.sysconf("SC_CLK_TCK")


def log(text):
    print(text, file=sys.stderr, flush=True)


def ensure_oneko():
    if os.path.exists(ONEKO):
        return
    log("installing Debian's oneko")
    if os.geteuid() != 0:
        sys.exit(f"{ONEKO} is missing and installing it needs root: apt-get install oneko")
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    # apt's chatter goes to stderr: stdout is the figures.
    def apt(*args):
        return subprocess.run(["apt-get", *args], env=env, stdout=sys.stderr).returncode == 0
    if not apt("install", "-y", "-q", "oneko"):
        if not (apt("update", "-q") and apt("install", "-y", "-q", "oneko")):
            sys.exit("could not install oneko")


def cpu_seconds(pid):
    """utime + stime of a process, or None when it is gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) / CLOCK


def wine_processes():
    """Every Wine process of the private prefix: wineserver and the programs it runs."""
    found = set()
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            exe = os.readlink(f"/proc/{name}/exe")
            with open(f"/proc/{name}/environ", "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if "wine" in os.path.basename(exe) and f"WINEPREFIX={PREFIX}".encode() in env:
            found.add(int(name))
    return found


class Display:
    """A private Xvfb, alone for one program."""

    def __init__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
             "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write)
        # Xvfb ends when it cannot write the whole line, so read to its end before closing.
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 32)
            if not chunk:
                break
            number += chunk
        os.close(read)
        number = number.decode().strip()
        if not number:
            sys.exit("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=f":{number}")

    def wait_window(self, name, longest=60.0):
        """Waits for a shown window of that name; Xvfb ignores pointer warps until then."""
        end = time.monotonic() + longest
        while time.monotonic() < end:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                                   env=self.env, capture_output=True).stdout
            if found.strip():
                return True
            time.sleep(0.2)
        return False

    def windows(self):
        """The screen's top-level windows and their places, as one digest."""
        tree = subprocess.run(["xwininfo", "-root", "-children"], env=self.env,
                              capture_output=True).stdout
        return hashlib.sha1(tree).hexdigest()

    def close(self):
        self.proc.terminate()
        self.proc.wait()


class Pointer:
    """Circles the pointer around the screen's middle, one xdotool process per turn."""

    def __init__(self, display):
        self.display = display
        self.proc = None
        self.turning = False

    def turn_commands(self):
        cx, cy = SCREEN[0] // 2, SCREEN[1] // 2
        steps = int(TURN / STEP)
        commands = []
        for i in range(steps):
            a = 2 * math.pi * i / steps
            commands += ["mousemove", str(round(cx + RADIUS * math.cos(a))),
                         str(round(cy + RADIUS * math.sin(a))), "sleep", str(STEP)]
        return commands

    def start(self):
        # A shell loop, so the driver costs the same for both programs and nothing here polls.
        script = 'while :; do xdotool "$@" || exit; done'
        self.proc = subprocess.Popen(["bash", "-c", script, "turn"] + self.turn_commands(),
                                     env=self.display.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)

    def stop(self):
        os.killpg(self.proc.pid, 15)
        self.proc.wait()


def measure(groups):
    """CPU share of one core per group over MEASURE seconds; groups give their pids."""
    before = {name: {pid: cpu_seconds(pid) for pid in pids()} for name, pids in groups.items()}
    time.sleep(MEASURE)
    shares = {}
    for name, pids in groups.items():
        used = 0.0
        for pid in set(pids()) | set(before[name]):
            now = cpu_seconds(pid)
            if now is None:
                continue  # ended in between: its time is lost, as for any short-lived helper
            used += now - (before[name].get(pid) or 0.0)
        shares[name] = 100.0 * used / MEASURE
    return shares


def wait_still(display, quiet=5.0, longest=120.0):
    """Waits until no top-level window has moved for `quiet` seconds; returns the time taken."""
    start = time.monotonic()
    last, since = display.windows(), time.monotonic()
    while time.monotonic() - start < longest:
        time.sleep(1.0)
        now = display.windows()
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= quiet:
            break
    return time.monotonic() - start


def run_program(label, start, display, own=None):
    """Starts the program, measures chasing and rest; returns (chasing, rest) shares. own finds
    the program's processes among Wine's; without it the program is what start returned."""
    procs = start()
    pointer = Pointer(display)
    wine = own is not None
    if not wine:
        def own():
            return {p.pid for p in procs}

    def helpers():
        return wine_processes() - own() if wine else set()

    try:
        if not display.wait_window("^Fenwa$" if wine else "oneko$"):
            sys.exit(f"{label}: no window appeared")
        pointer.start()
        time.sleep(10.0)  # every chaser under way
        groups = {"own": own, "wine": helpers, "x": lambda: {display.proc.pid}}
        log(f"{label}: chasing")
        chasing = measure(groups)
        pointer.stop()
        settled = wait_still(display)
        log(f"{label}: at rest after {settled:.0f} s")
        rest = measure(groups)
        return chasing, rest
    finally:
        if pointer.proc and pointer.proc.poll() is None:
            pointer.stop()
        stop(procs)


def stop(procs):
    """Ends the programs (with their sessions, where they lead one); one that ignores the request
    (oneko at times does) is killed."""
    def signal_all(number):
        for p in procs:
            try:
                if os.getsid(p.pid) == p.pid:
                    os.killpg(p.pid, number)
                else:
                    p.send_signal(number)
            except OSError:
                pass
    signal_all(15)
    for p in procs:
        try:
            p.wait(5)
        except subprocess.TimeoutExpired:
            signal_all(9)
            p.wait()


def wait_for_wine(longest=60.0):
    """Waits for the prefix's Wine processes to end; a stuck one is reported, not waited on forever."""
    end = time.monotonic() + longest
    while wine_processes():
        if time.monotonic() > end:
            log("Wine processes of the prefix are still running: figures may include them")
            return
        time.sleep(0.5)


def kurun(exe):
    display = Display()
    # The chroot sees this checkout, not this machine's /tmp.
    folder = tempfile.mkdtemp(prefix="kurun-peer-exe-", dir=os.path.join(ROOT, "build") if WINE10 else None)
    program = os.path.join(folder, os.path.basename(exe))
    # The prefix's earlier processes leave first, so Wine's helpers are this display's only.
    wait_for_wine()

    def start():
        shutil.copy2(exe, folder)
        if WINE10:
            command = ["bash", os.path.join(ROOT, "scripts", "wine10.sh"), "--on-display", program]
        else:
            command = ["bash", os.path.join(ROOT, "scripts", "wine-run.sh"), program]
        # A session of its own, so the whole chain of starters ends with the program.
        return [subprocess.Popen(command, cwd=folder, env=display.env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL, start_new_session=True)]

    def own():
        """The program's Wine process, found by its name among the prefix's."""
        name = os.path.basename(exe).encode()
        found = set()
        for pid in wine_processes():
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    if name in f.read():
                        found.add(pid)
            except OSError:
                pass
        return found

    try:
        return run_program(f"kurun.exe under {WINE_NAME}", start, display, own=own)
    finally:
        wait_for_wine()
        display.close()
        shutil.rmtree(folder, ignore_errors=True)


def oneko():
    display = Display()

    def start():
        return [subprocess.Popen([ONEKO] + ONEKO_ARGS, env=display.env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL) for _ in range(4)]

    try:
        return run_program("four oneko", start, display)
    finally:
        display.close()


def row(name, shares):
    total = sum(shares.values())
    wine = f"{shares['wine']:.1f} %" if name.startswith("kurun") else "–"
    return f"| {name} | {shares['own']:.1f} % | {wine} | {shares['x']:.1f} % | {total:.1f} % |", total


def main():
    args = [a for a in sys.argv[1:] if a != "--wine10"]
    exe = os.path.abspath(args[0] if args else os.path.join(ROOT, "build", "windows", "kurun.exe"))
    if not os.path.isfile(exe):
        sys.exit(f"{exe} does not exist: run make build")
    ensure_oneko()
    kurun_chasing, kurun_rest = kurun(exe)
    oneko_chasing, oneko_rest = oneko()

    print(f"CPU over {MEASURE:.0f} s as a share of one core, {SCREEN[0]} x {SCREEN[1]} Xvfb each, "
          f"pointer circling r = {RADIUS} px, one turn in {TURN:.0f} s; kurun.exe under {WINE_NAME}")
    print()
    print("| | own process | Wine's processes | X server | total |")
    print("|---|---|---|---|---|")
    totals = {}
    for name, shares in [("kurun.exe under Wine, chasing", kurun_chasing),
                         ("four `oneko`, chasing", oneko_chasing),
                         ("kurun.exe under Wine, at rest", kurun_rest),
                         ("four `oneko`, at rest", oneko_rest)]:
        line, totals[name] = row(name, shares)
        print(line)
    print()

    def ratio(a, b):
        return f"{totals[a] / totals[b]:.2f}" if totals[b] > 0 else "n/a (peer used nothing)"
    print(f"chasing: kurun / oneko = {ratio('kurun.exe under Wine, chasing', 'four `oneko`, chasing')}")
    print(f"at rest: kurun / oneko = {ratio('kurun.exe under Wine, at rest', 'four `oneko`, at rest')}")


if __name__ == "__main__":
    main()
