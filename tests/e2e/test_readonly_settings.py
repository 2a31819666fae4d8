"""A kurun.ini that cannot be written (as under Program Files): the close button shows the write
error and keeps the settings window, so the user may fix the file and try again; Alt+F4 then shows
the error once more and closes the window, everyone walks again, and the file is left as it was."""
import os
import stat
import time

from kurun_e2e import (CLOSE_BUTTON, NAMES, SETTINGS_TITLE, Kurun, check, click_at, main, move_pointer, run,
                       screenshot, wait_until, walking)

TITLE = "Launcher kurun! ～ルカタ編～"
INI = b"[Visible]\r\nChar01=1\r\n"


def message_boxes(k):
    return k.find(TITLE)


def dismiss(k, what):
    """Waits for the error's message box, keeps a picture of it and presses Enter on it."""
    wait_until(lambda: message_boxes(k), f"no message box after {what}", 10)
    time.sleep(0.5)
    screenshot(os.path.join(k.artifacts, f"error-{what.replace(' ', '-')}.png"))
    run("xdotool", "key", "Return")
    wait_until(lambda: not message_boxes(k), f"the message box after {what} stayed", 5)


def test(exe, artifacts):
    move_pointer(160, 240)
    with Kurun(exe, artifacts, "readonly_settings", files={"kurun.ini": INI}) as k:
        ini = os.path.join(k.dir, "kurun.ini")
        os.chmod(ini, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        k.wait_windows()
        k.wait_standing("Pelton")
        window = k.open_settings_from("Pelton")
        x, y = window.pos()
        click_at(x + CLOSE_BUTTON[0], y + CLOSE_BUTTON[1])
        dismiss(k, "the close button")
        time.sleep(0.5)
        check(k.find(SETTINGS_TITLE), "the settings window closed although the save failed")
        check(not walking(k, NAMES), "characters walked while the settings window stayed open")

        # The focus is back on the settings window: Alt+F4 reaches it, not another program's window.
        move_pointer(x + 200, y + 300)
        run("xdotool", "key", "alt+F4")
        dismiss(k, "Alt+F4")
        wait_until(lambda: not k.find(SETTINGS_TITLE), "Alt+F4 after the failed save left the window open", 5)
        moved = walking(k, NAMES)
        check({"Pelton", "Melka", "Rugo"} <= moved, f"only {sorted(moved)} walked after Alt+F4")
        with open(ini, "rb") as f:
            check(f.read() == INI, "the read-only kurun.ini changed")
        check(k.proc.poll() is None, "kurun.exe ended")


if __name__ == "__main__":
    main(test)
