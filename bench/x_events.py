"""Where a chaser's cost goes under Wine: the X events and X11 driver calls per window change.

Runs one Windows program (kurun.exe, the floor chaser) alone on its own Xvfb, as
bench/peer_cost.py does, with WINEDEBUG=+event,+x11drv, circles the pointer for a while, and
prints whether its windows are override-redirect or managed (listed in _NET_CLIENT_LIST), then
the X events Wine handled and the driver calls it made, per window change that reached X (a move
or an outline change). Counts, not CPU time: they hold on a busy machine too.

    python3 bench/x_events.py [--desktop] [--seconds 10] path/to/program.exe

--desktop runs openbox and xcompmgr on the display and the program in the prefix without
Managed=N, as peer_cost.py's desktop mode does.
"""
import argparse
import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import peer_cost  # noqa: E402

# The windows to look at: kurun's characters or the floor's.
WINDOWS = "^(Pelton|Melka|Rugo|Fenwa|floor[1-4])$"


def x(display, *args):
    return subprocess.run(args, env=display.env, capture_output=True, text=True).stdout


def window_kinds(display):
    """(name, 'override-redirect' or 'managed') of each shown window of the program."""
    clients = x(display, "xprop", "-root", "_NET_CLIENT_LIST")
    listed = {int(w, 16) for w in re.findall(r"0x[0-9a-f]+", clients)}
    kinds = []
    for wid in x(display, "xdotool", "search", "--onlyvisible", "--name", WINDOWS).split():
        info = x(display, "xwininfo", "-id", wid)
        name = re.search(r'Window id: \S+ "(.*)"', info)
        override = "Override Redirect State: yes" in info
        kind = "override-redirect" if override else "managed" + (", in _NET_CLIENT_LIST" if int(wid) in listed else "")
        kinds.append((name.group(1) if name else wid, kind))
    return sorted(kinds)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("program")
    parser.add_argument("--desktop", action="store_true")
    parser.add_argument("--seconds", type=float, default=10.0)
    args = parser.parse_args()
    mode = "desktop" if args.desktop else "bare"
    peer_cost.ensure_packages()
    peer_cost.ensure_prefixes([mode])
    prefix = peer_cost.DESKTOP_PREFIX if args.desktop else peer_cost.PREFIX
    env = peer_cost.wine_env(prefix)
    peer_cost.wait_for_wine(env)
    display = peer_cost.Display(args.desktop)
    folder = tempfile.mkdtemp(prefix="kurun-x-events-")
    trace = os.path.join(folder, "trace.log")
    program = shutil.copy2(args.program, folder)
    with open(trace, "w") as out:
        proc = subprocess.Popen(["wine", program], cwd=folder, stdout=out, stderr=out,
                                env=dict(env, DISPLAY=display.env["DISPLAY"], WINEDEBUG="+event,+x11drv"))
    pointer = peer_cost.Pointer(display)
    try:
        if not display.wait_window("^(Fenwa|floor4)$"):
            sys.exit("no window appeared")
        pointer.start()
        time.sleep(3.0)  # every chaser under way
        start = os.path.getsize(trace)
        time.sleep(args.seconds)
        end = os.path.getsize(trace)
        kinds = window_kinds(display)
    finally:
        pointer.stop()
        peer_cost.stop([proc])
        peer_cost.wait_for_wine(env)
        display.close()
    with open(trace, errors="replace") as f:
        f.seek(start)
        text = f.read(end - start)
    shutil.rmtree(folder, ignore_errors=True)

    events = collections.Counter(re.findall(r"trace:event:call_event_handler \d+ (\w+) for", text))
    calls = collections.Counter(re.findall(r"trace:x11drv:(\w+)", text))
    changes = calls["X11DRV_WindowPosChanged"]
    print(f"{os.path.basename(args.program)}, {peer_cost.MODES[mode]}, {args.seconds:.0f} s of chasing")
    for name, kind in kinds:
        print(f"  {name}: {kind}")
    if not changes:
        print("no window change reached X")
        return
    print(f"per window change ({changes} changes, {changes / args.seconds:.1f} a second):")
    print(f"  X events handled: {sum(events.values()) / changes:.1f}")
    for name, count in events.most_common():
        print(f"    {name}: {count / changes:.2f}")
    print("  X11 driver calls:")
    for name, count in calls.most_common(8):
        print(f"    {name}: {count / changes:.2f}")


if __name__ == "__main__":
    main()
