"""Start-up: four shaped, borderless character windows named after the roster, at their start
places, before the walk has taken them far."""
import time
from kurun_e2e import (Kurun, ROSTER, NAMES, SPRITE, TICK, check, main, move_pointer)

START = {name: (left, top) for name, left, top, _, _ in ROSTER}
# With the pointer here, every character's start is close to where it would rest on x, and
# Melka rests on y, so most of the drift before the first reading is bounded whatever the timing.
PARK = (0, START["Melka"][1])
# The walking rule's rest boxes reach this far right of (and below) a window's corner.
REST_HIGH = {"Pelton": 32, "Melka": 12, "Rugo": 24}


def test(exe, artifacts):
    move_pointer(*PARK)
    with Kurun(exe, artifacts, "startup") as k:
        first_seen = k.wait_windows()
        infos = {n: k.windows[n].info(shape=True) for n in NAMES}
        # Ticks that can have passed since the first window appeared, generously counted.
        n = int((time.monotonic() - first_seen) / TICK) + 6
        report = ", ".join(f"{name} at ({i['x']},{i['y']})" for name, i in infos.items())
        print(f"windows seen after {first_seen - k.started:.1f} s: {report}; at most {n} ticks")

        for name, left, top, width, height in ROSTER:
            i = infos[name]
            check(i["viewable"], f"{name} is not shown")
            check((i["w"], i["h"]) == (width, height),
                  f"{name} is {i['w']}x{i['h']}, expected {width}x{height}")
            shape = i["shape"]
            check(shape is not None, f"{name} has no window shape: its outline is not the sprite")
            sw, sh, sx, sy = shape
            check(sw > 0 and sh > 0, f"{name}'s shape is empty")
            check(sx >= 0 and sy >= 0 and sx + sw <= SPRITE and sy + sh <= SPRITE,
                  f"{name}'s shape {sw}x{sh}+{sx}+{sy} leaves the {SPRITE}x{SPRITE} sprite")

        def between(name, axis, lo, hi):
            v = infos[name][axis]
            check(lo <= v <= hi, f"{name} {axis}={v}, expected within {lo}..{hi} (start {START[name]})")

        # Characters 1 to 3 walk right only until the pointer enters their rest box.
        for name in ("Pelton", "Melka", "Rugo"):
            between(name, "x", START[name][0], PARK[0] - REST_HIGH[name])
        # On y: Pelton walks down toward the pointer, Rugo up, Melka already rests.
        between("Pelton", "y", START["Pelton"][1], START["Pelton"][1] + 2 * n)
        between("Melka", "y", START["Melka"][1], START["Melka"][1])
        between("Rugo", "y", START["Rugo"][1] - 2 * n, START["Rugo"][1])
        # Fenwa follows Pelton: left and up, one pixel a tick.
        between("Fenwa", "x", START["Fenwa"][0] - n, START["Fenwa"][0])
        between("Fenwa", "y", START["Fenwa"][1] - n, START["Fenwa"][1])


if __name__ == "__main__":
    main(test)
