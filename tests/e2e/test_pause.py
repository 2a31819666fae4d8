"""Pausing from the tray as a user does it: the menu's pause entry, clicked, stands the characters
wherever they are and ticks the entry; the pointer moves and nobody follows, yet a click on a
character still runs its file; chosen again, they walk."""
import os
import time

from kurun_e2e import Kurun, Window, check, click_at, main, move_pointer, run, screenshot, walking, windows_path
from test_settings_file import marking_batch, wait_batch_console_closed
from test_tray import find_icon, shown_windows, tray_window, wait_for


# The pause entry sits one entry and a separator above the menu's last entry, exit.
PAUSE_ABOVE_BOTTOM = 35


def choose_pause(k, icon, shot):
    """Opens the tray menu with a real right click and clicks its pause entry."""
    before = set(shown_windows(k))
    move_pointer(*icon)
    run("xdotool", "click", "3")
    menu = Window(wait_for(lambda: sorted(set(shown_windows(k)) - before), "no menu after the right click")[0])
    time.sleep(0.3)
    screenshot(os.path.join(k.artifacts, shot))
    m = menu.info()
    click_at(m["x"] + m["w"] // 2, m["y"] + m["h"] - PAUSE_ABOVE_BOTTOM)
    wait_for(lambda: not (set(shown_windows(k)) - before), "the menu stayed open after a click on its entry")


def test(exe, artifacts):
    move_pointer(300, 300)
    os.makedirs(artifacts, exist_ok=True)
    marker = os.path.join(artifacts, "pause launched.txt")
    if os.path.exists(marker):
        os.remove(marker)
    batch = marking_batch(os.path.join(artifacts, "pause launch.bat"), marker)
    # Pelton alone, with a file to launch; the others would only crowd the tray's corner.
    ini = (f"[Visible]\r\nChar02=0\r\nChar03=0\r\nChar04=0\r\n[Execute]\r\nChar01={windows_path(batch)}\r\n"
           ).encode("utf-8")
    with Kurun(exe, artifacts, "pause", files={"kurun.ini": ini}) as k:
        k.wait_windows(["Pelton"])
        tray = wait_for(tray_window, "no tray window of Wine's appeared at the top-left corner")
        t = tray.info()
        at = wait_for(lambda: find_icon(screenshot(os.path.join(k.artifacts, "tray.png")),
                                        (t["x"], t["y"], t["w"], t["h"])), "the tray does not show the icon")
        icon = (at[0] + 8, at[1] + 8)
        k.wait_standing("Pelton", 30)  # well inside the screen, away from the tray

        choose_pause(k, icon, "menu.png")
        stood = k.windows["Pelton"].pos()
        for x, y in ((1200, 900), (300, 800), (900, 200)):
            move_pointer(x, y)
            time.sleep(0.4)
            check(k.windows["Pelton"].pos() == stood,
                  f"paused, Pelton walked from {stood} to {k.windows['Pelton'].pos()} after the pointer")

        click_at(*k.point_on_sprite("Pelton"))
        wait_for(lambda: os.path.exists(marker), "paused, a click on Pelton did not run its batch file")
        wait_batch_console_closed(k)
        check(k.windows["Pelton"].pos() == stood, "Pelton moved while paused")

        choose_pause(k, icon, "menu-paused.png")
        check(walking(k, ["Pelton"]) == {"Pelton"}, "chosen again, the pause entry did not let Pelton walk")


if __name__ == "__main__":
    main(test)
