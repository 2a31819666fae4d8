"""The settings window as a user meets it: a character's right-click menu opens it at 20, 20
with that character's row in colour while everyone stands still; the arrows move the colour
portrait; the surface drags the window; a file dragged from the X side lands in the selected
row; close lets everyone walk again; a click on the character runs the dropped batch file."""
import os
import subprocess
import time

from kurun_e2e import (CLOSE_BUTTON, NAMES, ROW_TOP, SETTINGS_TITLE, Kurun, check, click_at, colour_row,
                       main, move_pointer, pixel, run, screenshot, windows_path)

XDND = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xdnd_drop.py")


def test(exe, artifacts):
    move_pointer(160, 240)
    with Kurun(exe, artifacts, "settings") as k:
        k.wait_windows()
        k.wait_standing("Pelton")
        # Right-click Pelton and pick the menu's only item.
        window = k.open_settings_from("Pelton")
        info = window.info()
        check((info["x"], info["y"], info["w"], info["h"]) == (20, 20, 350, 350),
              f"the settings window is at {info}, not at 20, 20 and 350 x 350")
        before = k.positions()
        move_pointer(900, 900)
        time.sleep(1.0)
        check(k.positions() == before, f"characters moved while the settings were open: {before} -> {k.positions()}")

        origin = (20, 20)
        shot = screenshot(os.path.join(k.artifacts, "settings-window.png"))
        check(colour_row(shot, origin) == 0, "Pelton's menu did not open the settings on row 1")

        # Down arrow, then up arrow: the colour portrait moves with the selection.
        click_at(origin[0] + 252, origin[1] + 10)
        time.sleep(0.3)
        check(colour_row(screenshot(os.path.join(k.artifacts, "down.png")), origin) == 1,
              "the down arrow did not move the colour portrait to row 2")
        click_at(origin[0] + 282, origin[1] + 10)
        time.sleep(0.3)
        check(colour_row(screenshot(os.path.join(k.artifacts, "up.png")), origin) == 0,
              "the up arrow did not move the colour portrait back to row 1")

        # Drag the window by its surface.
        move_pointer(origin[0] + 200, origin[1] + 95)
        run("xdotool", "mousedown", "1")
        for step in range(1, 11):
            move_pointer(origin[0] + 200 + 10 * step, origin[1] + 95 + 6 * step)
            time.sleep(0.03)
        run("xdotool", "mouseup", "1")
        time.sleep(0.5)
        info = window.info()
        check((info["x"], info["y"]) == (120, 80), f"dragging the surface by (100, 60) left the window at {info}")
        origin = (info["x"], info["y"])

        # A file dragged from a Linux file manager: the batch file lands in row 1's edit box.
        folder = os.path.join(k.dir, "launch dir")
        os.makedirs(folder)
        marker = os.path.join(k.dir, "launched.txt")
        batch = os.path.join(folder, "mark me.bat")
        with open(batch, "w", newline="\r\n") as f:
            f.write(f'@echo launched> "{windows_path(marker)}"\n')
        edit = (origin[0] + 106, origin[1] + ROW_TOP[0] + 26, 200, 14)
        def lit(shot):
            w, _, raw = shot
            return sum(1 for y in range(edit[1], edit[1] + edit[3]) for x in range(edit[0], edit[0] + edit[2])
                       if min(pixel(w, raw, x, y)) > 160)
        check(lit(screenshot(os.path.join(k.artifacts, "before-drop.png"))) == 0, "row 1's edit box is not empty")
        res = subprocess.run(["/usr/bin/python3", XDND, window.wid, str(origin[0] + 200), str(origin[1] + 95), batch],
                             capture_output=True, text=True, timeout=30)
        check(res.returncode == 0, f"the drop failed: {res.stderr.strip()}")
        time.sleep(0.5)
        check(lit(screenshot(os.path.join(k.artifacts, "after-drop.png"))) > 30,
              "no text appeared in row 1's edit box after the drop")

        # Close: the window goes and everyone walks again.
        click_at(origin[0] + CLOSE_BUTTON[0], origin[1] + CLOSE_BUTTON[1])
        time.sleep(0.5)
        check(not k.find(SETTINGS_TITLE), "the settings window is still shown after close")
        before = k.positions()
        time.sleep(1.0)
        moved = [n for n in NAMES if k.positions()[n] != before[n]]
        check({"Pelton", "Melka", "Rugo"} <= set(moved), f"only {moved} walked after close")

        # A click on Pelton runs the dropped batch file through the shell.
        move_pointer(400, 400)
        k.wait_standing("Pelton")
        click_at(*k.point_on_sprite("Pelton"))
        end = time.monotonic() + 20
        while not os.path.exists(marker) and time.monotonic() < end:
            time.sleep(0.1)
        check(os.path.exists(marker), "clicking Pelton did not run its batch file")


if __name__ == "__main__":
    main(test)
