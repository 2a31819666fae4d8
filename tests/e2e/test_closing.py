"""Leaving windows with the keyboard, as a user does: Alt+F4 on the open settings window after a
file was dropped on it closes it, everyone walks again and kurun.ini holds the dropped path;
Alt+F4 right after clicking a character leaves that character shown and the program running."""
import os
import subprocess
import time

from kurun_e2e import (NAMES, SETTINGS_TITLE, Kurun, check, click_at, ini_text, main, move_pointer, read_ini, run,
                       screenshot, wait_until, walking, windows_path)

XDND = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xdnd_drop.py")


def test(exe, artifacts):
    move_pointer(160, 240)
    with Kurun(exe, artifacts, "closing") as k:
        k.wait_windows()
        # Melka's row takes the drop, so that Pelton has no file and a click on him only beeps.
        k.wait_standing("Melka")
        window = k.open_settings_from("Melka")
        origin = window.pos()
        dropped = os.path.join(k.dir, "dropped file.txt")
        with open(dropped, "w") as f:
            f.write("dropped\n")
        res = subprocess.run(["/usr/bin/python3", XDND, window.wid, str(origin[0] + 200), str(origin[1] + 95),
                              dropped], capture_output=True, text=True, timeout=30)
        check(res.returncode == 0, f"the drop failed: {res.stderr.strip()}")
        time.sleep(0.5)
        screenshot(os.path.join(k.artifacts, "before-alt-f4.png"))

        # The pointer on the window, as a user's would be, then Alt+F4.
        move_pointer(origin[0] + 200, origin[1] + 300)
        run("xdotool", "key", "alt+F4")
        wait_until(lambda: not k.find(SETTINGS_TITLE), "Alt+F4 did not close the settings window", 5)
        moved = walking(k, NAMES)
        check({"Pelton", "Melka", "Rugo"} <= moved, f"only {sorted(moved)} walked after Alt+F4")
        ini = os.path.join(k.dir, "kurun.ini")
        check(os.path.exists(ini), "Alt+F4 saved no kurun.ini")
        with open(ini, "rb") as f:
            values = read_ini(ini_text(f.read()))
        check(values.get("Execute", {}).get("Char02") == windows_path(dropped),
              f"kurun.ini holds {values.get('Execute')} under Execute, not the dropped {windows_path(dropped)}")

        # A click on Pelton (no launch file: a beep), then Alt+F4: Pelton stays, the program runs.
        move_pointer(400, 400)
        k.wait_standing("Pelton")
        click_at(*k.point_on_sprite("Pelton"))
        run("xdotool", "key", "alt+F4")
        time.sleep(1.0)
        screenshot(os.path.join(k.artifacts, "after-character-alt-f4.png"))
        check(k.proc.poll() is None, f"kurun.exe ended ({k.proc.poll()}) after Alt+F4 on Pelton")
        for name in NAMES:
            check(k.find(name), f"{name} is gone after Alt+F4 on Pelton")


if __name__ == "__main__":
    main(test)
