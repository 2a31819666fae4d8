"""Start-up: four shaped, borderless character windows named after the roster, at their start
places, before the walk has taken them far."""
import time
from kurun_e2e import (Kurun, ROSTER, NAMES, SPRITE, TICK, check, main, move_pointer)

# With the pointer here, every character's start is close to where it would rest on x, and
# Melka rests on y, so most of the drift before the first reading is bounded whatever the timing.
PARK = (0, 364)


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
            check(lo <= v <= hi, f"{name} {axis}={v}, expected within {lo}..{hi} "
                                 f"(start {dict((r[0], r[1:3]) for r in ROSTER)[name]})")

        # Characters 1 to 3 walk right only until the pointer (x 0) enters their rest box.
        between("Pelton", "x", -50, -32)
        between("Melka", "x", -50, -12)
        between("Rugo", "x", -50, -24)
        # On y: Pelton walks down toward the pointer, Rugo up, Melka already rests.
        between("Pelton", "y", 140, 140 + 2 * n)
        between("Melka", "y", 364, 364)
        between("Rugo", "y", 600 - 2 * n, 600)
        # Fenwa follows Pelton: left and up, one pixel a tick.
        between("Fenwa", "x", 980 - n, 980)
        between("Fenwa", "y", 364 - n, 364)


if __name__ == "__main__":
    main(test)
