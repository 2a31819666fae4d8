"""Starting kurun.exe while it runs: the second start opens the running program's settings window
(as the tray's double click does) and ends with 0 within a few seconds, leaving four characters and
one tray icon and kurun.ini untouched. Two starts at the same moment give one program."""
import os
import subprocess
import time

from kurun_e2e import (NAMES, SETTINGS_TITLE, WINE_RUN, Failure, Kurun, Window, check, colour_row, main, move_pointer,
                       run, screenshot, wait_until)
from test_tray import find_icon, tray_window

INI = b"; mine\r\n[Execute]\r\nChar03=Z:\\nowhere\\rugo.bat\r\n"


def start_again(k):
    return subprocess.Popen(["bash", WINE_RUN, os.path.join(k.dir, os.path.basename(k.exe))], cwd=k.dir,
                            stdin=subprocess.DEVNULL, stdout=k.log, stderr=subprocess.STDOUT)


def ended(proc, what, timeout=10):
    try:
        code = proc.wait(timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise Failure(f"{what} still runs {timeout} s later")
    check(code == 0, f"{what} ended with {code}")


def windows_named(name):
    """Every mapped window of that name on the display, whichever process shows it."""
    return run("xdotool", "search", "--onlyvisible", "--name", f"^{name}$", check_rc=False).split()


def icons_in_tray(k, picture):
    """How many times the tray shows the program's icon, searched from left to right."""
    tray = tray_window()
    check(tray is not None, "no Wine tray window")
    t = tray.info()
    shot = screenshot(os.path.join(k.artifacts, picture))
    count, left, right = 0, t["x"], t["x"] + t["w"]
    while right - left >= 16:
        at = find_icon(shot, (left, t["y"], right - left, t["h"]))
        if at is None:
            break
        count, left = count + 1, at[0] + 16
    return count


def drag_aside(settings):
    """Drags the settings window by its surface out of the tray's way, so the icons can be counted."""
    x, y = settings.pos()
    move_pointer(x + 200, y + 95)
    run("xdotool", "mousedown", "1")
    for step in range(1, 11):
        move_pointer(x + 200 + 20 * step, y + 95 + 20 * step)
        time.sleep(0.03)
    run("xdotool", "mouseup", "1")
    time.sleep(0.5)


def check_one_program(k, picture):
    for name in NAMES:
        check(len(windows_named(name)) == 1, f"{len(windows_named(name))} windows named {name!r}")
    check(icons_in_tray(k, picture) == 1, "the tray does not show exactly one kurun icon")


def test(exe, artifacts):
    move_pointer(640, 700)
    with Kurun(exe, artifacts, "second_start", files={"kurun.ini": INI}) as k:
        k.wait_windows()
        wait_until(tray_window, "no Wine tray window appeared")
        time.sleep(1.0)
        check(not k.find(SETTINGS_TITLE), "the settings window is open before the second start")

        second = start_again(k)
        ended(second, "the second start")
        ids = wait_until(lambda: k.find(SETTINGS_TITLE), "the running program did not open its settings window", 10)
        time.sleep(0.5)
        settings = Window(ids[0])
        check(colour_row(screenshot(os.path.join(k.artifacts, "settings.png")), settings.pos()) == 0,
              "the settings window did not open on row 1, as the tray's double click opens it")
        drag_aside(settings)
        check_one_program(k, "after-second-start.png")

        # Asked again while the window is open: nothing more opens, the start still ends.
        third = start_again(k)
        ended(third, "a start while the settings window is open")
        time.sleep(0.5)
        check(len(k.find(SETTINGS_TITLE)) == 1, "a second settings window appeared")
        check_one_program(k, "after-third-start.png")
        check(k.proc.poll() is None, "the running program ended")
        with open(os.path.join(k.dir, "kurun.ini"), "rb") as f:
            check(f.read() == INI, "kurun.ini changed")

    # Two starts at the same moment: one program, and the other start ends with 0.
    move_pointer(640, 700)
    with Kurun(exe, artifacts, "two_starts", files={"kurun.ini": INI}) as k:
        other = start_again(k)
        done = wait_until(lambda: [p for p in (k.proc, other) if p.poll() is not None],
                          "both of two simultaneous starts still run", 30)
        check(done[0].returncode == 0, f"the start that gave way ended with {done[0].returncode}")
        if done[0] is k.proc:  # the other one runs; Kurun stops the process it holds
            k.proc = other
        k.wait_windows()
        # The start that gave way asked the other for its settings window.
        settings = wait_until(lambda: k.find(SETTINGS_TITLE), "the running program did not open its settings", 10)
        time.sleep(0.5)
        check(all(p.poll() is None for p in (k.proc, other) if p is not done[0]), "no start kept running")
        drag_aside(Window(settings[0]))
        check_one_program(k, "two-starts.png")


if __name__ == "__main__":
    main(test)
