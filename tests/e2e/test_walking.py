"""Walking: the characters follow the pointer at their own speeds, Fenwa follows Pelton, and a
character whose rest box holds the pointer stands still."""
import time
from kurun_e2e import Kurun, NAMES, TICK, check, main, move_pointer, screen_size

WALK = 2.0


def sign(v):
    return (v > 0) - (v < 0)


def test(exe, artifacts):
    width, height = screen_size()
    move_pointer(width // 2, height // 2)
    with Kurun(exe, artifacts, "walking") as k:
        k.wait_windows()

        # Far down and right of everyone: characters 1 to 3 move right and down on every tick.
        target = (width - 40, height - 40)
        move_pointer(*target)
        t0, p0 = time.monotonic(), k.positions()
        time.sleep(WALK)
        t1, p1 = time.monotonic(), k.positions()
        ticks = (t1 - t0) / TICK
        d = {n: (p1[n][0] - p0[n][0], p1[n][1] - p0[n][1]) for n in NAMES}
        print(f"in {t1 - t0:.2f} s (~{ticks:.0f} ticks): " +
              ", ".join(f"{n} {p0[n]} -> {p1[n]}" for n in NAMES))

        for name in ("Pelton", "Melka", "Rugo"):
            dx, dy = d[name]
            check(dx > 0 and dy > 0, f"{name} moved by {d[name]}, not toward the pointer "
                                     f"at {target} (down and right)")
        for name, step in (("Pelton", 2), ("Melka", 1), ("Rugo", 2)):
            for v in d[name]:
                # Wine's timers do not fire early, so a step never comes more than once a tick.
                check(v <= step * (ticks + 3), f"{name} moved {v} px in {ticks:.0f} ticks, "
                                               f"faster than {step} px a tick")
        for axis in (0, 1):
            fast, slow = d["Pelton"][axis], d["Melka"][axis]
            check(1.4 <= fast / slow <= 2.8,
                  f"Pelton moved {fast} px and Melka {slow} px on {'xy'[axis]}: "
                  f"Pelton should walk about twice as fast")
            fast = d["Rugo"][axis]
            check(1.4 <= fast / slow <= 2.8,
                  f"Rugo moved {fast} px and Melka {slow} px on {'xy'[axis]}: "
                  f"Rugo should walk about twice as fast")

        # Fenwa heads for Pelton's top-left corner, at Melka's speed.
        for axis in (0, 1):
            toward = sign(p0["Pelton"][axis] - p0["Fenwa"][axis])
            moved = d["Fenwa"][axis]
            check(toward == 0 or sign(moved) == toward,
                  f"Fenwa moved {d['Fenwa']} from {p0['Fenwa']}, not toward Pelton at "
                  f"{p0['Pelton']}")
            check(abs(moved) <= ticks + 3, f"Fenwa moved {moved} px in {ticks:.0f} ticks")
        check(abs(d["Fenwa"][0]) >= 0.5 * d["Melka"][0],
              f"Fenwa moved {d['Fenwa']}, much slower than Melka's {d['Melka']}")

        # Pointer inside Pelton's rest box (its sprite's top-left 33 x 33): Pelton stands.
        x, y = k.windows["Pelton"].pos()
        move_pointer(x + 16, y + 16)
        time.sleep(0.3)
        still = k.windows["Pelton"].pos()
        time.sleep(1.0)
        check(k.windows["Pelton"].pos() == still,
              f"Pelton kept walking from {still} to {k.windows['Pelton'].pos()} with the "
              f"pointer at {(x + 16, y + 16)}, inside its rest box")


if __name__ == "__main__":
    main(test)
