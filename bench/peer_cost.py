"""CPU cost of kurun.exe under Wine beside a Win32 floor and a native peer, in one run.

Three programs, each alone on its own Xvfb (1920 x 1080) while the pointer circles the middle of
the screen (radius 400 px, one turn in 20 s), so every chaser keeps walking; then the pointer
stops and, once no window has moved for a while, the same is measured at rest:

- kurun.exe under Wine (and, with --before, an earlier build of it in the same run);
- the floor, build/windows/floor_chaser.exe under the same Wine: four shaped always-on-top popups
  that walk like the characters with the least Win32 work a shaped, animated chaser can do; it
  runs twice, with simple outlines of its own and with the characters' stored outlines (which it
  reads from build/floor-outlines.bin, written here from the layouts);
- four Debian oneko cats, a native peer on the same 50 ms tick.

Two modes, chosen with --mode:

- bare: the X server alone, and the private prefix as the tests have it (Managed=N: Wine hands no
  window to a window manager);
- desktop: each display also runs openbox and xcompmgr, as a Linux desktop has them, and Wine
  runs in a copy of the private prefix without Managed=N, free to hand windows to the manager.

Wake-ups are the voluntary context switches per second of every thread of the program and of
wineserver (each request of the program wakes the server), from /proc/PID/task/*/status; memory
is the program's RssAnon from /proc/PID/status, read at rest.

CPU is utime + stime from /proc/PID/stat over 20 s (--seconds), as a share of one core: the
program's own processes, Wine's processes of the prefix (wineserver, explorer, services, ...),
the X server, and on the desktop the window manager and the compositor.

    python3 bench/peer_cost.py [--mode bare|desktop|both] [--before OLD/kurun.exe]
                               [--wine10] [--repeat 1] [--seconds 20] [path/to/kurun.exe]

With --repeat N every program is measured N times in turn (the machine's load drifts between
runs, and by turns each program meets it alike); each round's tables are printed, then the
median of each total and of each ratio with its range.

With --wine10 kurun.exe is also measured under the Wine 10 of scripts/wine10.sh (its chroot and
prefix, made first when missing) on the bench's own Xvfb, on the bare X server only.

It installs oneko, openbox and xcompmgr when they are missing, prints figures and never fails on
them. Run it alone: anything else on the machine, and any other Wine program of the same prefix,
shows up in the figures.
"""
import argparse
import hashlib
import math
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
PREFIX = os.path.join(ROOT, "build", "wine-prefix")
# The desktop's prefix: the private one without Managed=N, made from it when missing or older.
DESKTOP_PREFIX = os.path.join(ROOT, "build", "wine-prefix-desktop")
# The Wine 10 chroot's prefix (scripts/wine10.sh); the chroot sees this checkout at the same path.
WINE10_PREFIX = os.path.join(ROOT, "build", "wine10", "wine-prefix")
FLOOR = os.path.join(ROOT, "build", "windows", "floor_chaser.exe")
ONEKO = "/usr/games/oneko"
ONEKO_ARGS = ["-time", "50000", "-speed", "2"]  # the same 50 ms tick and 40 px/s
SCREEN = (1920, 1080)
RADIUS, TURN = 400, 20.0
STEP = 0.05  # pointer update, seconds
CLOCK = os.sysconf("SC_CLK_TCK")
WINE_ENV = {"WINEARCH": "win64", "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}
# What a Linux desktop adds to the display.
DESKTOP = [["openbox", "--sm-disable"], ["xcompmgr"]]


def log(text):
    print(text, file=sys.stderr, flush=True)


def ensure_packages():
    """Installs Debian's oneko, openbox and xcompmgr when missing (apt's chatter to stderr)."""
    wanted = {"oneko": ONEKO, "openbox": shutil.which("openbox"), "xcompmgr": shutil.which("xcompmgr")}
    missing = [name for name, path in wanted.items() if not path or not os.path.exists(path)]
    if not missing:
        return
    log(f"installing Debian's {', '.join(missing)}")
    if os.geteuid() != 0:
        sys.exit(f"{', '.join(missing)} missing and installing needs root: apt-get install {' '.join(missing)}")
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")

    def apt(*args):
        return subprocess.run(["apt-get", *args], env=env, stdout=sys.stderr).returncode == 0
    install = ("install", "-y", "-q", "--no-install-recommends", *missing)
    if not apt(*install):
        if not (apt("update", "-q") and apt(*install)):
            sys.exit(f"could not install {', '.join(missing)}")


def cpu_seconds(pid):
    """utime + stime of a process, or None when it is gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) / CLOCK


def wine_processes(prefix):
    """Every Wine process of the prefix: wineserver and the programs it runs."""
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
        if "wine" in os.path.basename(exe) and f"WINEPREFIX={prefix}".encode() in env:
            found.add(int(name))
    return found


def wine_env(prefix):
    return dict(os.environ, WINEPREFIX=prefix, **WINE_ENV)


def ensure_prefixes(modes):
    """The private prefix as the scripts make it, and for the desktop its copy without Managed=N."""
    subprocess.run(["bash", os.path.join(ROOT, "scripts", "wine-prefix.sh")], check=True)
    if "desktop" in modes:
        made = subprocess.run(["bash", os.path.join(ROOT, "scripts", "wine-prefix-copy.sh"), "desktop"],
                              check=True, capture_output=True, text=True).stdout.strip()
        if made != DESKTOP_PREFIX:
            sys.exit(f"the desktop prefix is {made}, not {DESKTOP_PREFIX}")


class Display:
    """A private Xvfb, alone for one program; on the desktop with a window manager and compositor."""

    def __init__(self, desktop=False):
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
        self.desktop = []
        if desktop:
            self.start_desktop()

    def start_desktop(self):
        for command in DESKTOP:
            self.desktop.append(subprocess.Popen(command, env=self.env, stdout=subprocess.DEVNULL,
                                                 stderr=subprocess.DEVNULL))
            # The window manager owns the screen before the compositor redirects it.
            end = time.monotonic() + 10
            while time.monotonic() < end and command[0] == "openbox" and not self.managed():
                time.sleep(0.2)
        time.sleep(1.0)
        for p in self.desktop:
            if p.poll() is not None:
                sys.exit(f"{p.args[0]} ended at once on the display")

    def managed(self):
        """True once a window manager has announced itself on the root window."""
        out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                             capture_output=True, text=True).stdout
        return "window id" in out

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
        stop(self.desktop)
        self.proc.terminate()
        self.proc.wait()


class Pointer:
    """Circles the pointer around the screen's middle, one xdotool process per turn."""

    def __init__(self, display):
        self.display = display
        self.proc = None

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
        # A shell loop, so the driver costs the same for every program and nothing here polls.
        script = 'while :; do xdotool "$@" || exit; done'
        self.proc = subprocess.Popen(["bash", "-c", script, "turn"] + self.turn_commands(),
                                     env=self.display.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            os.killpg(self.proc.pid, 15)
            self.proc.wait()


def voluntary_switches(pid):
    """Voluntary context switches of all of a process's threads (each a wake-up after a wait), or
    None when it is gone."""
    total = 0
    try:
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/status") as f:
                total += next(int(line.split()[1]) for line in f if line.startswith("voluntary_ctxt_switches"))
    except (OSError, StopIteration):
        return None
    return total


def rss_anon_kb(pids):
    """The private memory (RssAnon) of the processes, in kB."""
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/status") as f:
                total += next(int(line.split()[1]) for line in f if line.startswith("RssAnon"))
        except (OSError, StopIteration):
            pass
    return total


def measure(groups, seconds, waking=None):
    """CPU share of one core per group over `seconds`; groups give their pids. With `waking` (a
    function giving pids), also "wakeups": those processes' voluntary context switches per second."""
    before = {name: {pid: cpu_seconds(pid) for pid in pids()} for name, pids in groups.items()}
    woken = {pid: voluntary_switches(pid) for pid in waking()} if waking else {}
    time.sleep(seconds)
    shares = {}
    for name, pids in groups.items():
        used = 0.0
        for pid in set(pids()) | set(before[name]):
            now = cpu_seconds(pid)
            if now is None:
                continue  # ended in between: its time is lost, as for any short-lived helper
            used += now - (before[name].get(pid) or 0.0)
        shares[name] = 100.0 * used / seconds
    if waking:
        switches = 0
        for pid, then in woken.items():
            now = voluntary_switches(pid)
            if now is not None and then is not None:
                switches += now - then
        shares["wakeups"] = switches / seconds
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


def wait_for_wine(prefix, longest=60.0):
    """Waits for the prefix's Wine processes to end; a stuck one is reported, not waited on forever.
    Polled, not `wineserver -w`: the Wine 10 prefix has a wineserver of another version."""
    end = time.monotonic() + longest
    while wine_processes(prefix):
        if time.monotonic() > end:
            log("Wine processes of the prefix are still running: figures may include them")
            return
        time.sleep(0.5)


def processes_named(pids, name):
    """Those of the processes whose command line holds the name."""
    found = set()
    for pid in pids:
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if name.encode() in f.read():
                    found.add(pid)
        except OSError:
            pass
    return found


# The floor again, each window walking with its character's own outlines.
OUTLINED_FLOOR = "floor, the characters' outlines"


def write_character_outlines(path):
    """The sixteen stored outlines of each character, in the order of their classes, as the floor
    chaser reads them: a 32-bit byte count, then the RGNDATA."""
    sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
    import kurun_e2e
    with open(path, "wb") as f:
        for name, *_ in kurun_e2e.ROSTER:
            for _, data in sorted(kurun_e2e.stored_outlines(name).items()):
                f.write(len(data).to_bytes(4, "little") + data)


class Program:
    """One program to measure: how it starts on a display and which window says it is there."""

    def __init__(self, label, window, exe=None, native=None, wine10=False, args=()):
        self.label, self.window, self.exe, self.native = label, window, exe, native
        self.wine10, self.args = wine10, list(args)

    def start_wine(self, folder, prefix, display):
        program = shutil.copy2(self.exe, folder)
        if self.wine10:
            # A session of its own, so the whole chain of starters ends with the program.
            return [subprocess.Popen(["bash", os.path.join(ROOT, "scripts", "wine10.sh"), "--on-display", program],
                                     cwd=folder, env=display.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)]
        # Debian's wine script execs the loader, so the pid is the program itself.
        return [subprocess.Popen(["wine", program, *self.args], cwd=folder, env=dict(wine_env(prefix), DISPLAY=display.env["DISPLAY"]),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)]

    def measure(self, desktop, seconds):
        """Runs it alone on a fresh display; returns (chasing, rest) shares per group."""
        display = Display(desktop)
        prefix = WINE10_PREFIX if self.wine10 else DESKTOP_PREFIX if desktop else PREFIX
        # The chroot sees this checkout, not this machine's /tmp.
        folder = tempfile.mkdtemp(prefix="kurun-peer-exe-", dir=os.path.join(ROOT, "build") if self.wine10 else None)
        procs = []
        pointer = Pointer(display)
        if self.exe:
            # The prefix's earlier processes leave first, so Wine's helpers are this display's only.
            wait_for_wine(prefix)
        try:
            if self.exe:
                procs = self.start_wine(folder, prefix, display)
            else:
                procs = [subprocess.Popen(self.native, env=display.env, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL) for _ in range(4)]

            def own():
                if self.wine10:  # started through the chroot's chain: found by its name
                    return processes_named(wine_processes(prefix), os.path.basename(self.exe))
                return {p.pid for p in procs}

            def helpers():
                return wine_processes(prefix) - own() if self.exe else set()

            if not display.wait_window(self.window):
                sys.exit(f"{self.label}: no window appeared")
            pointer.start()
            time.sleep(min(10.0, seconds / 2))  # every chaser under way
            groups = {"own": own, "wine": helpers, "x": lambda: {display.proc.pid},
                      "desktop": lambda: {p.pid for p in display.desktop}}

            def waking():
                # The program and Wine's server, which every one of its requests wakes.
                return own() | {p for p in helpers() if "wineserver" in os.path.basename(os.readlink(f"/proc/{p}/exe"))}
            log(f"{self.label}{' on the desktop' if desktop else ''}: chasing")
            chasing = measure(groups, seconds, waking if self.exe else None)
            pointer.stop()
            settled = wait_still(display)
            log(f"{self.label}: at rest after {settled:.0f} s")
            rest = measure(groups, seconds, waking if self.exe else None)
            rest["memory"] = rss_anon_kb(own())
            return chasing, rest
        finally:
            pointer.stop()
            stop(procs)
            if self.exe:
                wait_for_wine(prefix)
            display.close()
            shutil.rmtree(folder, ignore_errors=True)


MODES = {
    "bare": "bare X server, prefix with Managed=N",
    "desktop": "openbox and xcompmgr running, prefix without Managed=N",
}


def print_mode(mode, results, seconds):
    """One table of a mode, then the ratios of kurun (and the earlier build) to the floor and the peer."""
    print(f"### {MODES[mode]}")
    print()
    print(f"CPU over {seconds:.0f} s as a share of one core, {SCREEN[0]} x {SCREEN[1]} Xvfb each, "
          f"pointer circling r = {RADIUS} px, one turn in {TURN:.0f} s")
    print()
    desktop = mode == "desktop"
    print("| | own process | Wine's processes | X server |" + (" openbox + xcompmgr |" if desktop else "") +
          " total | wake-ups/s (own + wineserver) | own RssAnon |")
    print("|---|---|---|---|" + ("---|" if desktop else "") + "---|---|---|")
    totals = {}
    for phase, index in (("chasing", 0), ("at rest", 1)):
        for label, shares in results.items():
            shares = shares[index]
            total = sum(v for k, v in shares.items() if k not in ("wakeups", "memory"))
            totals[label, phase] = total
            wine = f"{shares['wine']:.1f} %" if label != "four `oneko`" else "–"
            extra = f" {shares['desktop']:.1f} % |" if desktop else ""
            wakeups = f"{shares['wakeups']:.0f}" if "wakeups" in shares else "–"
            memory = f"{shares['memory'] / 1024:.1f} MB" if "memory" in shares else "–"
            print(f"| {label}, {phase} | {shares['own']:.1f} % | {wine} | {shares['x']:.1f} % |{extra} "
                  f"{total:.1f} % | {wakeups} | {memory} |")
    print()

    def ratio(a, b, phase):
        low = totals.get((b, phase), 0)
        return f"{totals[a, phase] / low:.2f}" if low > 0 else "n/a"
    for label in results:
        if not label.startswith("kurun"):
            continue
        for phase in ("chasing", "at rest"):
            print(f"{phase}: {label} ÷ floor = {ratio(label, 'floor', phase)}, "
                  f"÷ {OUTLINED_FLOOR} = {ratio(label, OUTLINED_FLOOR, phase)}, "
                  f"÷ oneko = {ratio(label, 'four `oneko`', phase)}")
    print()


def print_medians(modes, rounds):
    """The median over the rounds of each program's total, and of kurun's ratios to the others."""
    def total(results, mode, label, phase):
        shares = results[mode][label][0 if phase == "chasing" else 1]
        return sum(v for k, v in shares.items() if k not in ("wakeups", "memory"))

    print(f"## Medians of {len(rounds)} rounds")
    print()
    for mode in modes:
        labels = list(rounds[0][mode])
        print(f"{MODES[mode]}:")
        print()
        for phase in ("chasing", "at rest"):
            shares = ", ".join(f"{label} {statistics.median(total(r, mode, label, phase) for r in rounds):.1f} %"
                               for label in labels)
            print(f"- {phase}: {shares}")
            for label in (l for l in labels if l.startswith("kurun")):
                ratios = []
                for other in (l for l in labels if not l.startswith("kurun")):
                    values = [total(r, mode, label, phase) / total(r, mode, other, phase)
                              for r in rounds if total(r, mode, other, phase) > 0]
                    if values:
                        ratios.append(f"÷ {other} {statistics.median(values):.2f} "
                                      f"({min(values):.2f} to {max(values):.2f})")
                print(f"  - {label}: " + ", ".join(ratios))
        for label in (l for l in labels if "wakeups" in rounds[0][mode][l][1]):
            rest = [r[mode][label][1] for r in rounds]
            print(f"- {label} at rest: {statistics.median(x['wakeups'] for x in rest):.0f} wake-ups/s, "
                  f"RssAnon {statistics.median(x['memory'] for x in rest) / 1024:.1f} MB")
        print()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("kurun", nargs="?", default=os.path.join(ROOT, "build", "windows", "kurun.exe"),
                        help="the kurun.exe to measure (default: this build's)")
    parser.add_argument("--before", help="an earlier kurun.exe, measured in the same run as 'before'")
    parser.add_argument("--floor", default=FLOOR, help="the floor chaser (default: this build's)")
    parser.add_argument("--wine10", action="store_true",
                        help="also kurun.exe under the Wine 10 chroot of scripts/wine10.sh (bare mode)")
    parser.add_argument("--mode", choices=["bare", "desktop", "both"], default="both")
    parser.add_argument("--repeat", type=int, default=1,
                        help="measure every program this many times in turn and also print the medians")
    parser.add_argument("--seconds", type=float, default=20.0,
                        help="length of each measurement (a few seconds for a quick check)")
    args = parser.parse_args()
    for path in filter(None, (args.kurun, args.before, args.floor)):
        if not os.path.isfile(path):
            sys.exit(f"{path} does not exist: run make build")
    modes = ["bare", "desktop"] if args.mode == "both" else [args.mode]
    ensure_packages()
    ensure_prefixes(modes)

    programs = []
    if args.before:
        programs.append(Program("kurun.exe before", "^Fenwa$", exe=os.path.abspath(args.before)))
    programs.append(Program("kurun.exe" + (" after" if args.before else ""), "^Fenwa$",
                            exe=os.path.abspath(args.kurun)))
    wine10 = Program("kurun.exe under Wine 10", "^Fenwa$", exe=os.path.abspath(args.kurun), wine10=True)
    if args.wine10:
        programs.append(wine10)
    programs.append(Program("floor", "^floor4$", exe=os.path.abspath(args.floor)))
    outlines = os.path.join(ROOT, "build", "floor-outlines.bin")
    write_character_outlines(outlines)
    programs.append(Program(OUTLINED_FLOOR, "^floor4$", exe=os.path.abspath(args.floor),
                            args=["Z:" + outlines.replace("/", "\\")]))
    programs.append(Program("four `oneko`", "oneko$", native=[ONEKO] + ONEKO_ARGS))

    rounds = []
    for _ in range(args.repeat):
        results = {}
        for mode in modes:
            desktop = mode == "desktop"
            results[mode] = {p.label: p.measure(desktop, args.seconds) for p in programs
                             if not (p.wine10 and desktop)}
        rounds.append(results)
    for number, results in enumerate(rounds, 1):
        if len(rounds) > 1:
            print(f"## Round {number} of {len(rounds)}")
            print()
        for mode in modes:
            print_mode(mode, results[mode], args.seconds)
    if len(rounds) > 1:
        print_medians(modes, rounds)


if __name__ == "__main__":
    main()
