"""The settings task by keyboard alone: the tray icon's keyboard select (posted as the shell posts it,
for Wine's tray sends none) opens the settings window on row 1 with the focus in its box; Tab
reaches row 3's check box, whose focus mark shows, and Space hides Rugo; Down three times selects
row 4, Enter opens the Open dialog, the typed path and Enter make Fenwa's target; Escape closes and
saves. The file holds both changes, Rugo stays hidden and a click on Fenwa runs her file. Opened
again with the mouse alone, the window shows no focus mark."""
import os
import subprocess
import time

from kurun_e2e import (ROW_TOP, SETTINGS_TITLE, WINE_RUN, Kurun, Window, check, click_at, focused, ini_text, main,
                       move_pointer, pixel, read_ini, run, screenshot, wait_until, windows_path)
from test_settings_file import close_settings, fresh_marking_batch

NIN_KEYSELECT = "401"
# Rugo and Fenwa are shown, Pelton and Melka hidden: Fenwa waits while Pelton is hidden, and Rugo
# rests by the pointer, well away from the settings window and the tray.
INI = b"[Visible]\r\nChar01=0\r\nChar02=0\r\nChar03=1\r\nChar04=1\r\n"
POINTER = (700, 500)
EDIT_4_TOP = (120, ROW_TOP[3] + 24)  # a point on the top edge of row 4's box, in the client area


def post_to_icon(exe, event):
    helper = os.path.join(os.path.dirname(exe), "tray_notify.exe")
    check(os.path.isfile(helper), f"{helper} does not exist: build the windows preset")
    code = subprocess.run(["bash", WINE_RUN, helper, event], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode
    check(code == 0, f"tray_notify.exe found no tray icon to notify (exit {code})")


def keys(*names):
    for name in names:
        run("xdotool", "key", name)
        time.sleep(0.15)


def test(exe, artifacts):
    batch, marker = fresh_marking_batch(os.path.join(artifacts, "keyboard-files"), "fenwa")
    target = windows_path(batch)
    move_pointer(*POINTER)
    with Kurun(exe, artifacts, "keyboard", files={"kurun.ini": INI}) as k:
        k.wait_windows(["Rugo", "Fenwa"])
        move_pointer(*POINTER)
        post_to_icon(exe, NIN_KEYSELECT)
        window = Window(wait_until(lambda: k.find(SETTINGS_TITLE), "the icon's keyboard select opened nothing")[0])
        wait_until(lambda: focused()[0] == window.wid, f"the settings window opened without the focus: {focused()}")
        time.sleep(0.5)
        keys(*["Tab"] * 7)  # the first box, the four title-strip buttons, rows 2 and 3
        screenshot(os.path.join(k.artifacts, "check-box-3-focused.png"))
        keys("space")
        wait_until(lambda: not k.find("Rugo"), "Space on row 3's check box did not hide Rugo", 5)

        keys("Down", "Down", "Down", "Return")
        dialog = lambda: run("xdotool", "search", "--onlyvisible", "--name", "ラウンチファイルの選択", check_rc=False)
        wait_until(dialog, "Enter on row 4 opened no Open dialog", 10)
        time.sleep(0.5)
        screenshot(os.path.join(k.artifacts, "open-dialog.png"))
        run("xdotool", "type", "--delay", "30", target)
        keys("Return")
        wait_until(lambda: not dialog(), "the Open dialog stayed open", 10)
        time.sleep(0.3)
        screenshot(os.path.join(k.artifacts, "target-chosen.png"))
        keys("Escape")
        wait_until(lambda: not k.find(SETTINGS_TITLE), "Escape did not close the settings window", 5)

        with open(os.path.join(k.dir, "kurun.ini"), "rb") as f:
            saved = read_ini(ini_text(f.read()))
        check(saved.get("Visible", {}).get("Char03") == "0", f"Rugo's hiding was not saved: {saved}")
        check(saved.get("Execute", {}).get("Char04") == target, f"Fenwa's target was not saved: {saved}")
        time.sleep(0.5)
        check(not k.find("Rugo"), "Rugo came back after the window closed")

        k.wait_standing("Fenwa")
        click_at(*k.point_on_sprite("Fenwa"))
        wait_until(lambda: os.path.exists(marker), "a click on Fenwa did not run the chosen file", 15)
        wait_batch_console_closed_for(k)

        # The mouse alone: the window opens without a mark on the focused box.
        window = k.open_settings_from("Fenwa")
        time.sleep(0.5)
        w, _, raw = screenshot(os.path.join(k.artifacts, "opened-by-mouse.png"))
        x, y = window.pos()
        edge = {pixel(w, raw, x + EDIT_4_TOP[0] + i, y + EDIT_4_TOP[1]) for i in range(8)}
        check(len(edge) == 1, "the box focused in a window opened with the mouse shows a focus mark")
        close_settings(k, window)


def wait_batch_console_closed_for(k):
    """Fenwa's batch console comes and goes; the shared helper waits for Pelton, who is hidden here."""
    wait_until(lambda: not run("xdotool", "search", "--onlyvisible", "--name", r"\.bat$", check_rc=False).split(),
               "the batch file's console never closed")
    k.wait_standing("Fenwa")


if __name__ == "__main__":
    main(test)
