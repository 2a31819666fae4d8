"""Fullscreen programs: while a borderless window that covers the screen has the foreground, the
characters hide and stand; they come back where they stood when it closes, and kurun.ini is left
as it was. A captioned window shown maximized over the same screen hides nobody."""
import os
import subprocess
import time
from kurun_e2e import (Kurun, NAMES, SPRITE, WINE_RUN, background, check, main, move_pointer, pixel,
                       screen_size, screenshot)

SETTINGS = (b"[Visible]\r\nChar01=1\r\nChar02=1\r\nChar03=1\r\nChar04=1\r\n"
            b"[Execute]\r\nChar01=\r\nChar02=\r\nChar03=\r\nChar04=\r\n")
STAND_IN_GREEN = bytes((16, 96, 48))
# How long the stand-in stays: long enough for a check a second and a look at the standing.
LIFETIME_MS = 7000
# About two seconds to hide or come back, with room for a loaded machine.
REACT = 4.0


def stand_in(exe, artifacts, *args):
    helper = os.path.join(os.path.dirname(exe), "fullscreen_window.exe")
    check(os.path.isfile(helper), f"{helper} does not exist: build the windows preset")
    log = open(os.path.join(artifacts, "stand-in.log"), "a")
    return subprocess.Popen(["bash", WINE_RUN, helper, str(LIFETIME_MS), *args],
                            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)


def wait_shown(k, shown, since, what):
    """Waits until every character is shown (or every one hidden); returns how long it took."""
    while True:
        states = {n: k.windows[n].info()["viewable"] for n in NAMES}
        if all(v == shown for v in states.values()):
            return time.monotonic() - since
        check(time.monotonic() - since < REACT, f"{what}: after {REACT} s the characters are "
                                                f"{'shown' if shown else 'hidden'} only for "
                                                f"{[n for n, v in states.items() if v == shown]}")
        time.sleep(0.05)


def sprite_shows(shot, at):
    """Whether anything but the stand-in's green lies in the sprite's square at `at`."""
    w, h, raw = shot
    return any(pixel(w, raw, x, y) != STAND_IN_GREEN
               for y in range(max(at[1], 0), min(at[1] + SPRITE, h))
               for x in range(max(at[0], 0), min(at[0] + SPRITE, w)))


def test(exe, artifacts):
    width, height = screen_size()
    move_pointer(width // 2, height // 2)
    with Kurun(exe, artifacts, "fullscreen", files={"kurun.ini": SETTINGS}) as k:
        k.wait_windows()
        time.sleep(3)  # Pelton, Melka and Rugo walk in from the left edge

        helper = stand_in(exe, k.artifacts)
        started = time.monotonic()
        took = wait_shown(k, False, started, "a borderless window over the screen")
        print(f"hidden {took:.1f} s after the fullscreen stand-in started")
        hidden_at = k.positions()
        time.sleep(1.5)
        check(k.positions() == hidden_at, f"hidden characters moved: {hidden_at} -> {k.positions()}")
        shot = screenshot(os.path.join(k.artifacts, "covered.png"))
        on_screen = {n: p for n, p in hidden_at.items() if 0 <= p[0] < width - SPRITE and 0 <= p[1] < height - SPRITE}
        check(on_screen, f"no character stands on the screen to look at: {hidden_at}")
        for name, at in on_screen.items():
            check(not sprite_shows(shot, at), f"{name} still shows over the fullscreen window at {at}")

        helper.wait(LIFETIME_MS / 1000 + 30)
        ended = time.monotonic()
        took = wait_shown(k, True, ended, "the fullscreen stand-in closed")
        back_at = k.positions()
        print(f"back {took:.1f} s after it closed: {back_at}")
        shot = screenshot(os.path.join(k.artifacts, "back.png"))
        back = background(shot[2])
        for name in NAMES:
            # Where they stood, give or take the steps walked since they came back.
            dx, dy = (abs(a - b) for a, b in zip(back_at[name], hidden_at[name]))
            check(dx <= 2 * (took / 0.05 + 4) and dy <= 2 * (took / 0.05 + 4),
                  f"{name} came back at {back_at[name]}, not where it stood ({hidden_at[name]})")
        for name, at in on_screen.items():
            w, h, raw = shot
            check(any(pixel(w, raw, x, y) != back for y in range(at[1], at[1] + SPRITE)
                      for x in range(at[0], at[0] + SPRITE)), f"{name} is not seen near {at} after coming back")

        # A maximized window with a caption covers the screen too, but is no fullscreen program.
        # The screenshot shows the stand-in over the characters all the same: without a window
        # manager Wine maps a newly shown window on top in X whatever the topmost flags say, so
        # only the mapping tells whether they stayed.
        helper = stand_in(exe, k.artifacts, "caption")
        time.sleep(REACT)
        screenshot(os.path.join(k.artifacts, "captioned.png"))
        hidden = [n for n in NAMES if not k.windows[n].info()["viewable"]]
        check(not hidden, f"{hidden} hid behind a captioned maximized window")
        helper.wait(LIFETIME_MS / 1000 + 30)

        with open(os.path.join(k.dir, "kurun.ini"), "rb") as f:
            check(f.read() == SETTINGS, "kurun.ini changed while the characters hid")


if __name__ == "__main__":
    main(test)
