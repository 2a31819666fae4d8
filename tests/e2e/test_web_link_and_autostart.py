"""Web pages as targets and starting with Windows: a link dropped as a browser offers it on the
settings window opened from Melka's menu becomes Melka's target, is saved by the close button and
read back by a new start, and a click on Melka hands the address to the shell's browser (a stand-in
that records it); the tray menu's autostart entry makes the Startup folder's shortcut to this
kurun.exe, shows its mark, and chosen again removes it."""
import glob
import os
import subprocess

from kurun_e2e import (CLOSE_BUTTON, SETTINGS_TITLE, Kurun, check, click_at, ini_text, main, move_pointer,
                       read_ini, run, screenshot, wait_until, wine_prefix_copy)
from test_tray import AUTOSTART_ENTRY, choose_tray_entry, find_icon, tray_window

XDND = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xdnd_drop.py")
ADDRESS = "https://example.org/melka"


def startup_shortcuts(prefix):
    """The shortcuts in the Startup folder of the prefix's user (Wine spells it "StartUp")."""
    return glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData", "Roaming", "Microsoft", "Windows",
                                  "Start Menu", "Programs", "[Ss]tart[Uu]p", "*.lnk"))


def test(exe, artifacts):
    prefix = wine_prefix_copy("browser")
    marker = os.path.join(prefix, "drive_c", "opened-address.txt")
    for stale in startup_shortcuts(prefix):
        os.remove(stale)
    move_pointer(160, 240)
    # Only Melka is shown: nobody else stands where she is clicked.
    ini = b"[Visible]\r\nChar01=0\r\nChar03=0\r\nChar04=0\r\n"
    with Kurun(exe, artifacts, "web_link_and_autostart", files={"kurun.ini": ini}, prefix=prefix) as k:
        k.wait_windows(["Melka"])
        k.wait_standing("Melka")
        settings = k.open_settings_from("Melka")
        x, y = settings.pos()
        res = subprocess.run(["/usr/bin/python3", XDND, settings.wid, str(x + 200), str(y + 95), "--link", ADDRESS],
                             capture_output=True, text=True, timeout=30)
        check(res.returncode == 0, f"the settings window refused the link: {res.stderr.strip()}")
        # Nobody walks while the settings are open; the window itself is dragged off the tray.
        move_pointer(x + 200, y + 95)
        run("xdotool", "mousedown", "1")
        for step in range(1, 11):
            move_pointer(x + 200 + 30 * step, y + 95 + 20 * step)
        run("xdotool", "mouseup", "1")
        x, y = wait_until(lambda: settings.pos() != (x, y) and settings.pos(), "the settings window was not dragged")
        t = wait_until(tray_window, "no tray window of Wine's at the top-left corner").info()
        at = find_icon(screenshot(os.path.join(k.artifacts, "after-drop.png")), (t["x"], t["y"], t["w"], t["h"]))
        check(at is not None, "the tray does not show the program's icon")
        choose_tray_entry(k, (at[0] + 8, at[1] + 8), AUTOSTART_ENTRY, os.path.join(k.artifacts, "menu-unticked.png"))
        made = wait_until(lambda: startup_shortcuts(prefix), "the autostart entry made no shortcut")
        check([os.path.basename(f) for f in made] == ["kurun.lnk"], f"the Startup folder holds {made}")
        choose_tray_entry(k, (at[0] + 8, at[1] + 8), AUTOSTART_ENTRY, os.path.join(k.artifacts, "menu-ticked.png"))
        wait_until(lambda: not startup_shortcuts(prefix), "choosing the ticked entry left the shortcut")

        click_at(x + CLOSE_BUTTON[0], y + CLOSE_BUTTON[1])
        wait_until(lambda: not k.find(SETTINGS_TITLE), "the settings window stayed open after close")
        with open(os.path.join(k.dir, "kurun.ini"), "rb") as f:
            stored = read_ini(ini_text(f.read())).get("Execute", {}).get("Char02")
        check(stored == ADDRESS, f"kurun.ini holds {stored!r} for Melka, not the dropped address")
        for run_number in (1, 2):
            if run_number == 2:  # a new start reads the address back
                k.stop()
                k.log.close()
                k.start()
                k.wait_windows(["Melka"])
            if os.path.exists(marker):
                os.remove(marker)
            move_pointer(160, 240)
            k.wait_standing("Melka")
            click_at(*k.point_on_sprite("Melka"))
            opened = wait_until(lambda: os.path.exists(marker) and open(marker).read().strip(),
                                f"a click on Melka (start {run_number}) opened no address in the stand-in browser")
            check(opened == ADDRESS, f"a click on Melka opened {opened!r}, not {ADDRESS!r}")


if __name__ == "__main__":
    main(test)
