"""Pausing from the tray as a user does it: the menu's pause entry, clicked, stands the characters
wherever they are and ticks the entry; the pointer moves and nobody follows, yet a click on a
character still runs its file; chosen again, they walk."""
import os
import time

from kurun_e2e import Kurun, check, click_at, main, move_pointer, walking, windows_path
from test_settings_file import fresh_marking_batch, wait_batch_console_closed
from test_tray import PAUSE_ENTRY, choose_tray_entry, tray_icon, wait_for


def test(exe, artifacts):
    move_pointer(300, 300)
    batch, marker = fresh_marking_batch(artifacts, "pause launch")
    # Pelton alone, with a file to launch; the others would only crowd the tray's corner.
    ini = (f"[Visible]\r\nChar02=0\r\nChar03=0\r\nChar04=0\r\n[Execute]\r\nChar01={windows_path(batch)}\r\n"
           ).encode("utf-8")
    with Kurun(exe, artifacts, "pause", files={"kurun.ini": ini}) as k:
        k.wait_windows(["Pelton"])
        icon = tray_icon(k)
        k.wait_standing("Pelton", 30)  # well inside the screen, away from the tray

        choose_tray_entry(k, icon, PAUSE_ENTRY, os.path.join(k.artifacts, "menu.png"))
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

        choose_tray_entry(k, icon, PAUSE_ENTRY, os.path.join(k.artifacts, "menu-paused.png"))
        check(walking(k, ["Pelton"]) == {"Pelton"}, "chosen again, the pause entry did not let Pelton walk")


if __name__ == "__main__":
    main(test)
