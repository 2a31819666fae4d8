"""The tray icon as a user meets it: from start-up the program's only windows are its characters
and its icon sits in the notification area (Wine's own tray window), drawn from tray.ico; a double
click on it opens the settings window on row 1; a right click opens its menu, whose exit entry
ends kurun.exe without saving what was changed meanwhile, and takes the icon away."""
import os
import subprocess
import time

from kurun_e2e import (ROOT, ROW_TOP, SETTINGS_TITLE, Failure, Kurun, Window, check, click_at, colour_row, main,
                       move_pointer, pixel, run, screenshot)

ICON = os.path.join(ROOT, "assets", "pictures", "icons", "tray.ico")
# Only Fenwa is shown: she waits while Pelton is hidden, so nobody walks over the tray.
INI = b"[Visible]\r\nChar01=0\r\nChar02=0\r\nChar03=0\r\n[Execute]\r\nChar04=Z:\\nowhere\\fenwa.bat\r\n"


def wait_for(find, what, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.05)
    raise Failure(f"{what} within {timeout} s")


def shown_windows(k):
    """{X window id: name} of every window of the program that is mapped."""
    ids = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(k.proc.pid), "--name", "",
              check_rc=False).split()
    return {wid: run("xdotool", "getwindowname", wid, check_rc=False).strip() for wid in ids}


def tray_window():
    """Wine's stand-alone tray: a window of Wine's explorer at the screen's top-left corner. Wine 8
    names it "Wine System Tray", Wine 10 leaves it unnamed, so neither the name nor its absence
    tells it."""
    for wid in run("xdotool", "search", "--onlyvisible", "--class", r"^explorer\.exe$", check_rc=False).split():
        window = Window(wid)
        i = window.info()
        if (i["x"], i["y"]) == (0, 0) and i["w"] >= 20 and i["h"] >= 20:
            return window
    return None


def icon_drawings():
    """tray.ico as the tray draws it at 16 x 16: every other pixel, for each of the four sampling
    phases; None where the icon is transparent."""
    rgba = subprocess.run(["convert", ICON, "-depth", "8", "rgba:-"], capture_output=True, check=True).stdout
    check(len(rgba) == 32 * 32 * 4, f"{ICON} is not one 32 x 32 image")
    drawings = []
    for px in (0, 1):
        for py in (0, 1):
            drawing = []
            for y in range(16):
                for x in range(16):
                    i = 4 * ((2 * y + py) * 32 + 2 * x + px)
                    drawing.append(bytes(rgba[i:i + 3]) if rgba[i + 3] else None)
            drawings.append(drawing)
    return drawings


def find_icon(shot, area):
    """Top-left of the icon's drawing inside area (x, y, w, h) of the screen, or None."""
    w, _, raw = shot
    ax, ay, aw, ah = area
    for drawing in icon_drawings():
        opaque = [(i % 16, i // 16, c) for i, c in enumerate(drawing) if c is not None]
        cx, cy, centre = opaque[len(opaque) // 2]
        for oy in range(ay, ay + ah - 15):
            for ox in range(ax, ax + aw - 15):
                i = 3 * ((oy + cy) * w + ox + cx)
                if raw[i:i + 3] != centre:
                    continue
                if all(raw[3 * ((oy + y) * w + ox + x):3 * ((oy + y) * w + ox + x) + 3] == c for x, y, c in opaque):
                    return ox, oy
    return None


def tray_icon(k):
    """The centre of the program's icon in Wine's tray."""
    tray = wait_for(tray_window, "no tray window of Wine's appeared at the top-left corner")
    t = tray.info()
    # The icon is drawn a moment after the tray window appears.
    at = wait_for(lambda: find_icon(screenshot(os.path.join(k.artifacts, "tray.png")), (t["x"], t["y"], t["w"], t["h"])),
                  f"the tray ({t['w']}x{t['h']}+{t['x']}+{t['y']}) does not show tray.ico", 10)
    print(f"icon drawn at {at} in the tray")
    return at[0] + 8, at[1] + 8


def open_settings_from_tray(k, icon):
    """Double clicks the icon; returns the settings window that opens."""
    move_pointer(*icon)
    run("xdotool", "click", "--repeat", "2", "--delay", "80", "1")
    settings = Window(wait_for(lambda: k.find(SETTINGS_TITLE), f"no {SETTINGS_TITLE!r} window after the double "
                                                               f"click")[0])
    time.sleep(0.5)
    return settings


def open_tray_menu(k, icon):
    """The right button on the icon; returns the menu that opens."""
    before = set(shown_windows(k))
    move_pointer(*icon)
    run("xdotool", "click", "3")
    return Window(wait_for(lambda: sorted(set(shown_windows(k)) - before), "no menu after the right click")[0])


def menu_entry_rows(shot, menu):
    """The middle row of each entry's text in a shown menu, top to bottom: the bands of rows that
    hold black text (separators are grey)."""
    w, _, raw = shot
    i = menu.info()
    dark = [any(max(pixel(w, raw, x, y)) < 60 for x in range(i["x"] + 2, i["x"] + i["w"] - 2))
            for y in range(i["y"] + 2, i["y"] + i["h"] - 2)]
    bands, start = [], None
    for y, is_dark in enumerate(dark + [False]):
        if is_dark and start is None:
            start = y
        elif not is_dark and start is not None:
            bands.append(i["y"] + 2 + (start + y) // 2)
            start = None
    return i["x"] + i["w"] // 2, bands


# The menu's entries counted from the bottom, as Wine's tray window may cover its top.
EXIT_ENTRY, AUTOSTART_ENTRY, PAUSE_ENTRY, FENWA_ENTRY = 1, 2, 3, 5


def choose_tray_entry(k, icon, from_bottom, shot):
    """Opens the tray menu, saves its picture to `shot` and clicks the entry `from_bottom`; returns
    once the menu has closed."""
    menu = open_tray_menu(k, icon)
    time.sleep(0.3)
    x, rows = menu_entry_rows(screenshot(shot), menu)
    check(len(rows) >= 9, f"the tray menu shows {len(rows)} entries, not its 5 and the 4 launches")
    click_at(x, rows[-from_bottom])
    wait_for(lambda: menu.wid not in shown_windows(k), "the menu stayed open after a click on its entry")


def exit_from_tray(k, icon):
    """The right button opens the menu at the cursor; its last entry ends the program with 0."""
    m = open_tray_menu(k, icon).info()
    screenshot(os.path.join(k.artifacts, "menu.png"))
    check(m["h"] > 60 and abs(m["x"] - icon[0]) <= 2 and abs(m["y"] - icon[1]) <= 2,
          f"the menu is {m['w']}x{m['h']}+{m['x']}+{m['y']}, not five entries at the cursor {icon}")
    click_at(m["x"] + m["w"] // 2, m["y"] + m["h"] - 10)
    try:
        code = k.proc.wait(15)
    except subprocess.TimeoutExpired:
        raise Failure("kurun.exe still runs after the menu's exit entry")
    check(code == 0, f"kurun.exe ended with {code}")


def test(exe, artifacts):
    move_pointer(640, 700)
    with Kurun(exe, artifacts, "tray", files={"kurun.ini": INI}) as k:
        k.wait_windows(["Fenwa"])
        time.sleep(0.5)
        shown = shown_windows(k)
        check(sorted(shown.values()) == ["Fenwa"],
              f"besides the characters the program shows {sorted(shown.values())}: no other window (no taskbar "
              f"button) should be mapped")

        icon = tray_icon(k)
        # A double click opens the settings on row 1, Pelton's, though Pelton is hidden.
        origin = open_settings_from_tray(k, icon).pos()
        check(colour_row(screenshot(os.path.join(k.artifacts, "settings.png")), origin) == 0,
              "the double click did not open the settings on row 1")

        # Melka ticked meanwhile: shown now, but never saved by the exit below.
        click_at(origin[0] + 18, origin[1] + ROW_TOP[1] + 6)
        wait_for(lambda: k.find("Melka"), "ticking row 2 did not show Melka")

        exit_from_tray(k, icon)
        with open(os.path.join(k.dir, "kurun.ini"), "rb") as f:
            check(f.read() == INI, "kurun.ini changed although nothing is saved at exit")

        time.sleep(0.5)
        tray = tray_window()
        if tray:
            t = tray.info()
            gone = find_icon(screenshot(os.path.join(k.artifacts, "after.png")), (t["x"], t["y"], t["w"], t["h"]))
            check(gone is None, "the icon stayed in the tray after the program ended")


if __name__ == "__main__":
    main(test)
