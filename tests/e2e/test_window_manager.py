"""The characters on a desktop with a window manager (openbox), Wine free to hand windows to it:
they take no focus when they appear, Wine leaves them to themselves (override-redirect, no
manager round trip for each step), and they stay above the other programs' windows however
those are raised: a new window, a click on one, an activation, a raise, a Wine program's window."""
import os
import subprocess

from kurun_e2e import (WINE_RUN, Failure, Kurun, OwnDisplay, check, check_sprite, click_at, focused, main,
                       move_pointer, run, screenshot, wait_until, wine_prefix_copy)

# Rugo rests at once with the pointer here and stands alone: the others are hidden.
POINTER = (40, 600)
SETTINGS = b"[Visible]\r\nChar01=0\r\nChar02=0\r\nChar03=1\r\nChar04=0\r\n"
# A native window that covers Rugo's corner of the screen, and a place on it away from Rugo.
COVER = "600x400+0+400"
ON_COVER = (400, 700)


def first_window(name):
    """The id of a shown window whose name matches, or None."""
    found = run("xdotool", "search", "--onlyvisible", "--name", name, check_rc=False).split()
    return found[0] if found else None


def rugo_seen(k, what):
    """Rugo, standing near the pointer again, shows a whole frame on the screen: nothing lies over it."""
    move_pointer(*POINTER)
    k.wait_standing("Rugo")
    shot = screenshot(os.path.join(k.artifacts, what.replace(" ", "-") + ".png"))
    try:
        check_sprite(k, shot, "Rugo")
    except Failure as e:
        raise Failure(f"after {what}: {e}") from None


def test(exe, artifacts):
    prefix = wine_prefix_copy("desktop")
    with OwnDisplay(1280, 800):
        manager = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        cover = None
        try:
            wait_until(lambda: "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check_rc=False),
                       "openbox did not take the screen")
            move_pointer(*POINTER)
            # A native window has the focus when kurun starts, and keeps it.
            cover = subprocess.Popen(["xmessage", "-geometry", COVER, "a window over the characters"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            covering = wait_until(lambda: first_window("^xmessage$"), "the xmessage window did not appear")
            run("xdotool", "windowactivate", "--sync", covering)
            typing_into = focused()[0]
            with Kurun(exe, artifacts, "window_manager", files={"kurun.ini": SETTINGS}, prefix=prefix) as k:
                k.wait_windows(["Rugo"])
                check("Override Redirect State: yes" in run("xwininfo", "-id", k.windows["Rugo"].wid),
                      "Wine handed Rugo's window to the window manager")
                rugo_seen(k, "kurun started")
                # Without a notification area on this desktop Wine shows its own tray window for
                # the icon, and openbox focuses it as it does every new window: only kurun's own
                # windows are held to taking no focus.
                now = focused()[0]
                owner = run("xdotool", "getwindowpid", now, check_rc=False).strip()
                check(now == typing_into or (owner != str(k.proc.pid) and now != k.windows["Rugo"].wid),
                      f"kurun's start took the focus from {typing_into}: it is on {now}")

                move_pointer(*ON_COVER)
                click_at(*ON_COVER)
                rugo_seen(k, "a click on the window")
                run("xdotool", "windowactivate", "--sync", covering)
                run("xdotool", "windowraise", covering)
                rugo_seen(k, "the window raised")

                # A Windows program under the same Wine, handed to the manager and activated.
                notepad = subprocess.Popen(["bash", WINE_RUN, "notepad"], stdin=subprocess.DEVNULL,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                           env=dict(os.environ, KURUN_WINEPREFIX=prefix))
                try:
                    editor = wait_until(lambda: first_window("Notepad$"), "notepad's window did not appear", 60)
                    run("xdotool", "windowmove", "--sync", editor, "0", "450")
                    run("xdotool", "windowactivate", "--sync", editor)
                    rugo_seen(k, "notepad activated")
                finally:
                    notepad.terminate()
                    notepad.wait(10)
                    run("xdotool", "search", "--name", "Notepad$", "windowkill", check_rc=False)
        finally:
            if cover:
                cover.terminate()
                cover.wait(10)
            manager.terminate()
            manager.wait(10)


if __name__ == "__main__":
    main(test)
