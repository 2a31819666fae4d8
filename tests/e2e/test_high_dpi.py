"""At 200 % (192 dpi, Wine's LogPixels in a copy of the private prefix, on a screen of 2560 x
2048 physical pixels): every window is built at twice its size with no smoothing. The
characters' X shapes are their stored outlines doubled, each sprite pixel on the screen is a
2 x 2 block of the frame picture's colour, and they walk in steps twice as long; the settings
window opens doubled with a pixel-exact skin and portraits, its arrows and drops work at the
doubled places."""
import os
import subprocess
import time

from kurun_e2e import (NAMES, PORTRAITS, ROOT, ROW_TOP, Kurun, OwnDisplay, bmp_pixels, check, check_shapes,
                       check_sprite, click_at, dpi_prefix, main, move_pointer, pixel, run, scaled_match, screenshot)

DPI, SCALE = 192, 2
SETTINGS_PICTURES = os.path.join(ROOT, "assets", "pictures", "settings")
XDND = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xdnd_drop.py")
STEPS = {"Pelton": 2, "Melka": 1, "Rugo": 2, "Fenwa": 1}


def check_walking(k):
    """Steps of twice the length at 96 dpi: every move a whole number of doubled steps, and never
    more than one doubled step a tick."""
    last = k.positions()
    seen = {n: 0 for n in NAMES}
    t0 = time.monotonic()
    for _ in range(20):
        time.sleep(0.1)
        now = k.positions()
        for n in NAMES:
            for axis in (0, 1):
                moved = now[n][axis] - last[n][axis]
                check(moved % (SCALE * STEPS[n]) == 0,
                      f"{n} moved {moved} px on {'xy'[axis]}: not a whole number of {SCALE * STEPS[n]} px steps")
                seen[n] += abs(moved)
        last = now
    ticks = (time.monotonic() - t0) / 0.05
    print(f"in ~{ticks:.0f} ticks: " + ", ".join(f"{n} {seen[n]} px" for n in NAMES))
    for n in ("Pelton", "Melka", "Rugo"):
        check(seen[n] > 0, f"{n} did not walk")
        check(seen[n] <= 2 * SCALE * STEPS[n] * (ticks + 3), f"{n} walked {seen[n]} px in {ticks:.0f} ticks")


def colour_row(shot, origin):
    """The row whose portrait shows in colour, doubled pixel for pixel; the others must be grey."""
    found = None
    for r in range(4):
        left, top = origin[0] + SCALE * 12, origin[1] + SCALE * (ROW_TOP[r] + 16)
        colour = bmp_pixels(os.path.join(PORTRAITS, f"portrait{r + 1}.bmp"))
        grey = bmp_pixels(os.path.join(PORTRAITS, f"portrait{r + 1}_grey.bmp"))
        if scaled_match(shot, left, top, colour, SCALE)[0] == 0:
            check(found is None, "two rows show their colour portrait")
            found = r
        else:
            check(scaled_match(shot, left, top, grey, SCALE)[0] == 0, f"row {r + 1} shows neither portrait doubled")
    return found


def check_settings(k):
    window = k.open_settings_from("Pelton", scale=SCALE)
    time.sleep(0.5)
    info = window.info()
    check((info["x"], info["y"], info["w"], info["h"]) == (40, 40, 700, 700),
          f"the settings window is at {info}, not at 40, 40 and 700 x 700")
    origin = (info["x"], info["y"])
    shot = screenshot(os.path.join(k.artifacts, "settings-window-2x.png"))
    check(colour_row(shot, origin) == 0, "Pelton's menu did not open the settings on row 1")
    # The skin where no control covers it: the title band right of the information button and the
    # strip below the last row, doubled exactly.
    skin = bmp_pixels(os.path.join(SETTINGS_PICTURES, "skin.bmp"))
    sw, _, raw = shot
    w, _, rgb = skin
    wrong = 0
    for y in list(range(20, 30)) + list(range(314, 331)):
        for x in range(8, 340):
            colour = rgb[3 * (y * w + x):3 * (y * w + x) + 3]
            wrong += any(pixel(sw, raw, origin[0] + SCALE * x + dx, origin[1] + SCALE * y + dy) != colour
                         for dx in range(SCALE) for dy in range(SCALE))
    check(wrong == 0, f"{wrong} skin pixels are not exact {SCALE} x {SCALE} blocks")

    # The down arrow at its doubled place moves the colour portrait to row 2.
    click_at(origin[0] + SCALE * 252, origin[1] + SCALE * 10)
    time.sleep(0.5)
    check(colour_row(screenshot(os.path.join(k.artifacts, "down-2x.png")), origin) == 1,
          "the doubled down arrow did not move the colour portrait to row 2")

    # A file dropped on the surface lands in the selected row's (row 2's) edit box.
    dropped = os.path.join(k.dir, "dropped file.txt")
    with open(dropped, "w") as f:
        f.write("x")
    edit = (origin[0] + SCALE * 106, origin[1] + SCALE * (ROW_TOP[1] + 26), SCALE * 200, SCALE * 14)
    def lit(shot):
        w, _, raw = shot
        return sum(1 for y in range(edit[1], edit[1] + edit[3]) for x in range(edit[0], edit[0] + edit[2])
                   if min(pixel(w, raw, x, y)) > 160)
    check(lit(screenshot(os.path.join(k.artifacts, "before-drop-2x.png"))) == 0, "row 2's edit box is not empty")
    res = subprocess.run(["/usr/bin/python3", XDND, window.wid, str(origin[0] + SCALE * 200),
                          str(origin[1] + SCALE * 95), dropped], capture_output=True, text=True, timeout=30)
    check(res.returncode == 0, f"the drop failed: {res.stderr.strip()}")
    time.sleep(0.5)
    check(lit(screenshot(os.path.join(k.artifacts, "after-drop-2x.png"))) > 60,
          "no text appeared in row 2's edit box after the drop")


def test(exe, artifacts):
    prefix = dpi_prefix(DPI)
    with OwnDisplay(2560, 2048):
        move_pointer(1280, 1024)
        with Kurun(exe, artifacts, "high-dpi", prefix=prefix) as k:
            k.wait_windows()
            check_shapes(k, SCALE)
            check_walking(k)
            # Pelton, the fastest, stands there long before the others come near.
            move_pointer(300, 300)
            k.wait_standing("Pelton", timeout=40)
            shot = screenshot(os.path.join(k.artifacts, "characters-2x.png"))
            check_sprite(k, shot, "Pelton", SCALE)
            check_shapes(k, SCALE)
            check_settings(k)
        # The prefix's own Wine processes leave before their display does.
        subprocess.run(["timeout", "20", "env", f"WINEPREFIX={prefix}", "wineserver", "-w"])


if __name__ == "__main__":
    main(test)
