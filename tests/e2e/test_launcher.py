"""The launcher's own job as a new user meets it: pointing at a standing Rugo names what he opens;
in the settings window a copied path is pasted into row 2 with Ctrl+V and Delete clears row 3,
and the close button saves both; the tray menu's Fenwa entry launches her file while she is
unticked."""
import os
import subprocess
import time

from kurun_e2e import (NAMES, ROW_TOP, SETTINGS_TITLE, Kurun, Window, check, click_at, ini_text, main, move_pointer, read_ini,
                       run, screenshot, wait_until, windows_path)
from test_settings_file import close_settings, fresh_marking_batch
from test_tray import FENWA_ENTRY, choose_tray_entry, shown_windows, tray_icon

EDIT_LEFT = 104 + 40  # a point inside a row's edit box, from the row's top
EDIT_DOWN = 24 + 9
UP_ARROW = (270 + 12, 2 + 8)


def tooltip_shown(k):
    """The X window of the program's tooltip, when one is mapped: its only shown window besides
    the characters and the settings window."""
    for wid, name in shown_windows(k).items():
        if name not in NAMES + [SETTINGS_TITLE]:
            return Window(wid)
    return None


def test(exe, artifacts):
    move_pointer(700, 700)
    work = os.path.join(artifacts, "launcher-files")
    fenwa, fenwa_marker = fresh_marking_batch(work, "fenwa")
    pasted = windows_path(os.path.join(work, "貼り付け 先.txt"))
    # Only Rugo is shown: nobody walks over him or over the tray. Fenwa is unticked.
    ini = ("[Visible]\r\nChar01=0\r\nChar02=0\r\nChar04=0\r\n"
           f"[Execute]\r\nChar03=Z:\\nowhere\\rugo.txt\r\nChar04={windows_path(fenwa)}\r\n").encode("latin-1")
    with Kurun(exe, artifacts, "launcher", files={"kurun.ini": ini}) as k:
        k.wait_windows(["Rugo"])
        move_pointer(80, 620)  # near where he walks in
        k.wait_standing("Rugo")
        # The pointer comes to rest on him: after the hover time his tooltip names his target.
        x, y = k.point_on_sprite("Rugo")
        move_pointer(x - 3, y - 3)
        move_pointer(x, y)
        tip = wait_until(lambda: tooltip_shown(k), "pointing at Rugo showed no tooltip", 5)
        i = tip.info()
        check(abs(i["x"] - x) < 60 and 0 <= i["y"] - y < 60, f"the tooltip is at {i['x'], i['y']}, not by {x, y}")
        screenshot(os.path.join(k.artifacts, "rugo-tooltip.png"))
        move_pointer(x + 200, y)
        wait_until(lambda: not tooltip_shown(k), "the tooltip stayed after the pointer left", 5)
        k.wait_standing("Rugo")

        # Rugo's menu opens the settings on row 3: Delete clears it; the up arrow selects row 2,
        # where Ctrl+V pastes the copied path.
        settings = k.open_settings_from("Rugo")
        time.sleep(0.5)
        sx, sy = settings.pos()
        click_at(sx + EDIT_LEFT, sy + ROW_TOP[2] + EDIT_DOWN)
        run("xdotool", "key", "Delete")
        click_at(sx + UP_ARROW[0], sy + UP_ARROW[1])
        time.sleep(0.3)
        click_at(sx + EDIT_LEFT, sy + ROW_TOP[1] + EDIT_DOWN)
        subprocess.run(["xclip", "-selection", "clipboard", "-t", "UTF8_STRING"], input=f'"{pasted}"'.encode(),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        run("xdotool", "key", "ctrl+v")
        time.sleep(0.3)
        screenshot(os.path.join(k.artifacts, "pasted.png"))
        close_settings(k, settings)
        with open(os.path.join(k.dir, "kurun.ini"), "rb") as f:
            execute = read_ini(ini_text(f.read())).get("Execute", {})
        check(execute.get("Char02") == pasted, f"row 2 saved {execute.get('Char02')!r}, not the pasted {pasted!r}")
        check(execute.get("Char03") == "", f"row 3 saved {execute.get('Char03')!r} after Delete")

        # The tray's Fenwa entry launches her file though she is hidden.
        choose_tray_entry(k, tray_icon(k), FENWA_ENTRY, os.path.join(k.artifacts, "tray-menu.png"))
        wait_until(lambda: os.path.exists(fenwa_marker), "the tray's Fenwa entry did not run her batch file", 15)
        check(not k.find("Fenwa"), "launching from the tray showed Fenwa")


if __name__ == "__main__":
    main(test)
