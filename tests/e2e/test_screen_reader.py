"""What a screen reader hears, read from outside through MSAA: Fenwa's window is a button named by
her tooltip whose action launches her file; every control of the settings window tells its name,
role, states and value; one Tab pass announces each stop's focus in the window's order, Space a
toggle, the next-row button the new selection, Delete the emptied value."""
import os
import subprocess
import threading

from kurun_e2e import ROOT, ROW_TOP, SETTINGS_TITLE, Kurun, check, click_at, main, move_pointer, run, screenshot, wait_until, windows_path
from test_settings_file import fresh_marking_batch, wait_console_closed
from test_tray import open_settings_from_tray, tray_icon

NEXT_ROW_BUTTON, EDIT = (252, 10), (144, 33)  # EDIT: from a row's top
ROWS = ["ﾐﾛｯﾄ", "ｸﾞﾗﾝﾃ", "ﾍﾟｲﾕ", "ﾄｩｰﾗ"]
BUTTONS = {"インフォメーション": ("link", "-", "", "ジャンプ"), "キャラの選択 (次)": ("pushbutton", "-", "", "押す"),
           "キャラの選択 (前)": ("pushbutton", "-", "", "押す"), "閉じる": ("pushbutton", "-", "", "押す")}
# The stops of one Tab pass from row 1's edit box; the other rows' boxes are off while row 1 is selected.
TAB_ORDER = [f"{ROWS[0]} ラウンチファイル", f"{ROWS[0]}を表示", *BUTTONS, *(f"{r}を表示" for r in ROWS[1:])]


def expected(targets, shown, selected=0):
    """name -> (role, states but focus, value, default action) of every object of the settings window."""
    table = {SETTINGS_TITLE: ("client", "-", "", ""), **BUTTONS}
    for r, name in enumerate(ROWS):
        box = "+".join(["checked"] * (r in shown) + ["selected"] * (r == selected)) or "-"
        table[f"{name}を表示"] = ("checkbutton", box, "", "チェックを外す" if r in shown else "チェックする")
        table[f"{name} ラウンチファイル"] = ("text", "readonly" if r == selected else "readonly+unavailable", targets[r], "")
    return table


def reader(exe, *args):
    program = os.path.join(os.path.dirname(exe), "screen_reader.exe")
    return subprocess.Popen(["bash", os.path.join(ROOT, "scripts", "wine-run.sh"), program, *args], text=True,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, encoding="utf-8",
                            env={**os.environ, "LC_ALL": "C.UTF-8"})


def heard(line):
    name, role, states, value, action = line.rstrip("\n").split("\t")
    return name, (role, "+".join(s for s in states.split("+") if s != "focused") or "-", value, action)


def read(exe, *args):
    out, _ = reader(exe, *args).communicate(timeout=60)
    return dict(heard(line) for line in out.splitlines())


class Listener:
    """Collects the events heard while it runs as (event, name, what is heard)."""

    def __init__(self, exe):
        self.proc, self.events = reader(exe, "listen", "90"), []
        check(self.proc.stdout.readline().strip() == "ready", "the listener did not start")
        threading.Thread(target=lambda: self.events.extend((line.split("\t", 1)[0], *heard(line.split("\t", 1)[1]))
                                                           for line in self.proc.stdout), daemon=True).start()

    def wait(self, event, name):
        return wait_until(lambda: next((e[2] for e in self.events if e[:2] == (event, name)), None),
                          f"no {event} event of {name!r}: heard {self.events}", 10)

    def focus_after(self, key):
        count = len(self.events)
        run("xdotool", "key", key)
        return wait_until(lambda: next((e[1] for e in self.events[count:] if e[0] == "focus"), None),
                          f"{key} announced no focus", 10)


def test(exe, artifacts):
    batch, marker = fresh_marking_batch(os.path.join(artifacts, "screen-reader-files"), "fenwa")
    targets = ["", "Z:\\nowhere\\melka.txt", "", windows_path(batch)]
    ini = f"[Visible]\r\nChar01=0\r\nChar02=0\r\nChar03=0\r\n[Execute]\r\nChar02={targets[1]}\r\nChar04={targets[3]}\r\n"
    move_pointer(640, 700)
    with Kurun(exe, artifacts, "screen_reader", files={"kurun.ini": ini.encode("latin-1")}) as k:
        k.wait_windows(["Fenwa"])
        fenwa = read(exe, "read", "Fenwa")
        check(fenwa == {"ﾄｩｰﾗ: fenwa.bat": ("pushbutton", "-", "", "起動")}, f"Fenwa's window said {fenwa}")
        check(reader(exe, "act", "Fenwa", "ﾄｩｰﾗ: fenwa.bat").wait(60) == 0, "Fenwa's default action failed")
        wait_until(lambda: os.path.exists(marker), "Fenwa's default action launched nothing", 15)
        wait_console_closed()  # it lies over the tray

        settings = open_settings_from_tray(k, tray_icon(k))
        sx, sy = settings.pos()
        got = read(exe, "read", SETTINGS_TITLE)
        check(got == expected(targets, shown={3}), f"the settings window said {got}")
        listener = Listener(exe)
        try:
            # The window opens with the focus in row 1's box; one Tab pass comes back to it.
            tabbed = [listener.focus_after("Tab")]
            while tabbed[-1] != TAB_ORDER[0] and len(tabbed) < 12:
                tabbed.append(listener.focus_after("Tab"))
            check(tabbed == TAB_ORDER[1:] + TAB_ORDER[:1], f"one Tab pass announced {tabbed}, not {TAB_ORDER}")
            check(listener.focus_after("Tab") == TAB_ORDER[1], "Tab from row 1's edit box did not reach its check box")
            screenshot(os.path.join(k.artifacts, "focused-check-box.png"))
            run("xdotool", "key", "space")
            check(listener.wait("state", TAB_ORDER[1])[1] == "checked+selected", "Space announced no checked box")
            click_at(sx + NEXT_ROW_BUTTON[0], sy + NEXT_ROW_BUTTON[1])
            check("selected" in listener.wait("selection", f"{ROWS[1]}を表示")[1], "the new row is not selected")
            click_at(sx + EDIT[0], sy + ROW_TOP[1] + EDIT[1])
            run("xdotool", "key", "Delete")
            check(listener.wait("value", f"{ROWS[1]} ラウンチファイル")[2] == "", "Delete announced a value")
            screenshot(os.path.join(k.artifacts, "after-delete.png"))
            got = read(exe, "read", SETTINGS_TITLE)
            check(got == expected(["", "", "", targets[3]], shown={0, 3}, selected=1), f"then the window said {got}")
        finally:
            listener.proc.terminate()
            listener.proc.wait(10)
        print(f"heard {len(listener.events)} events; one Tab pass: {tabbed}")


if __name__ == "__main__":
    main(test)
