"""The keyboard focus as a user meets it: kurun starts while an editor has the focus and leaves it
there, the settings window takes the focus when it opens, and a click on a character launches a
program that comes to the front."""
import os
import signal
import subprocess
import time

from kurun_e2e import (SETTINGS_TITLE, WINE_RUN, Failure, Kurun, check, click_at, focused, main, move_pointer, run,
                       screenshot, wait_until)

# Rugo rests at once with the pointer here (its rest box reaches 48 px left of its corner) and
# stands alone: the others are hidden, so no other character walks in front of it.
POINTER = (40, 600)
REST = (16, 600)
# Rugo launches a second notepad, which must come to the front over the first.
NOTEPAD = r"C:\windows\system32\notepad.exe"
EDITOR = "Untitled - Notepad"
SETTINGS = "[Visible]\r\nChar01=0\r\nChar02=0\r\nChar03=1\r\nChar04=0\r\n[Execute]\r\nChar03={}\r\n"


def wait_focus(name, other_than=None, timeout=30):
    """Waits until a window of that name, and not `other_than`, has the focus; returns its id."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        wid, now = focused()
        if now == name and wid != other_than:
            return wid
        time.sleep(0.1)
    raise Failure(f"the focus is on {focused()}, not on a new window named {name!r}")


def wait_place(window, place, timeout=60):
    """Waits until the window is at that place; a busy machine may stall its walk for a while."""
    end = time.monotonic() + timeout
    while window.pos() != place:
        check(time.monotonic() < end, f"the window is at {window.pos()}, not at {place}")
        time.sleep(0.1)


class Notepad:
    """Wine's notepad, as the editor the user types into."""

    def __enter__(self):
        self.proc = subprocess.Popen(["bash", WINE_RUN, "notepad"], stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self

    def __exit__(self, *exc):
        # Every notepad of this test: the editor and the one the launch opened.
        for wid in run("xdotool", "search", "--name", "Notepad$", check_rc=False).split():
            pid = run("xdotool", "getwindowpid", wid, check_rc=False).strip()
            if pid.isdigit():
                try:
                    os.kill(int(pid), signal.SIGTERM)
                except OSError:
                    pass
        self.proc.terminate()
        self.proc.wait(10)
        return False


def test(exe, artifacts):
    move_pointer(*POINTER)
    settings = SETTINGS.format(NOTEPAD).encode("latin-1")
    with Notepad():
        editor = wait_focus(EDITOR)
        with Kurun(exe, artifacts, "focus", files={"kurun.ini": settings}) as k:
            k.wait_windows(["Rugo"])
            time.sleep(1.0)
            check(focused()[0] == editor, f"start-up took the focus from the editor: it is on {focused()}")
            move_pointer(*POINTER)
            wait_place(k.windows["Rugo"], REST)
            # The settings window, unlike the characters, takes the focus when it opens.
            settings = k.open_settings_from("Rugo")
            wait_until(lambda: focused()[0] == settings.wid,
                       f"the settings window opened without the focus: it is on {focused()}")
            screenshot(os.path.join(k.artifacts, "settings-opened.png"))
            run("xdotool", "key", "alt+F4")
            wait_until(lambda: not k.find(SETTINGS_TITLE), "Alt+F4 did not close the focused settings window")
            move_pointer(*POINTER)
            k.wait_standing("Rugo")
            click_at(*k.point_on_sprite("Rugo"))
            launched = wait_focus(EDITOR, other_than=editor)
            screenshot(os.path.join(k.artifacts, "launched.png"))
            print(f"focus before the click: window {editor}, after it: the launched program's window {launched}")


if __name__ == "__main__":
    main(test)
