"""The settings file as a user meets it: a kurun.ini placed beside kurun.exe hides the characters
it names and gives Pelton a batch file that a click runs; unticking a character in the settings
window and pressing close writes the file; the next start keeps that character hidden. A file
edited in Notepad (UTF-8 without a mark) with a path of non-ASCII letters launches that path, and
closing the settings window writes it back whole, as UTF-16. A file broken by binary garbage
starts the program as its readable keys say."""
import os
import shutil
import tempfile
import time

from kurun_e2e import (CLOSE_BUTTON, NAMES, ROW_TOP, SETTINGS_TITLE, Failure, Kurun, check, click_at, ini_text,
                       main, move_pointer, read_ini, run, screenshot, wait_until, windows_path)


def check_shown(k, shown):
    """The characters in `shown` are on screen and no other is, once start-up has finished."""
    k.wait_windows(sorted(shown))
    # The loop has run by the time a window appears; give it a few ticks to undo anything.
    time.sleep(0.5)
    for name in NAMES:
        on_screen = bool(k.find(name))
        check(on_screen == (name in shown), f"{name} is {'shown' if on_screen else 'hidden'}, expected "
                                            f"the file to show only {sorted(shown)}")


def wait_console_closed():
    """A launched batch file's console lies over whatever is below it until it closes."""
    wait_until(lambda: not run("xdotool", "search", "--onlyvisible", "--name", r"\.bat$", check_rc=False).split(),
               "the batch file's console never closed")


def wait_batch_console_closed(k):
    """A launched batch file's console comes to the front over Pelton until it closes; then Pelton
    is drawn again."""
    wait_console_closed()

    def pelton_drawn():
        try:
            return k.point_on_sprite("Pelton")
        except Failure:
            return None
    wait_until(pelton_drawn, "Pelton was not drawn again after the batch file's console closed", 10)


def close_settings(k, window):
    x, y = window.pos()
    click_at(x + CLOSE_BUTTON[0], y + CLOSE_BUTTON[1])
    wait_until(lambda: not k.find(SETTINGS_TITLE), "the settings window stayed open", 5)


def fresh_marking_batch(folder, name):
    """A batch file name.bat in folder (made when missing) that writes name.txt beside it when it
    runs; no marker of an earlier run is left. Returns both paths."""
    os.makedirs(folder, exist_ok=True)
    marker = os.path.join(folder, name + ".txt")
    if os.path.exists(marker):
        os.remove(marker)
    return marking_batch(os.path.join(folder, name + ".bat"), marker), marker


def marking_batch(path, marker):
    """A batch file at path that writes the marker file when it runs."""
    with open(path, "w", newline="\r\n") as f:
        f.write(f'@echo launched> "{windows_path(marker)}"\n')
    return path


def notepad_file(exe, artifacts, launch_dir):
    """Pelton's batch file at .../Users/Zoë/写真/起動.bat, named in a UTF-8 file without a mark."""
    folder = os.path.join(launch_dir, "Users", "Zoë", "写真")
    os.makedirs(folder)
    marker = os.path.join(launch_dir, "notepad launched.txt")
    batch = marking_batch(os.path.join(folder, "起動.bat"), marker)
    ini = (f"; saved by Notepad, Zoë\r\n[Execute]\r\nChar01={windows_path(batch)}\r\n"
           f"[Visible]\r\nChar03=0\r\n").encode("utf-8")

    move_pointer(160, 240)
    with Kurun(exe, artifacts, "settings_file_notepad", files={"kurun.ini": ini}) as k:
        check_shown(k, {"Pelton", "Melka", "Fenwa"})
        k.wait_standing("Pelton")
        click_at(*k.point_on_sprite("Pelton"))
        wait_until(lambda: os.path.exists(marker), "clicking Pelton did not run the batch file named in "
                                                    "UTF-8 without a mark")
        wait_batch_console_closed(k)
        path = os.path.join(k.dir, "kurun.ini")
        with open(path, "rb") as f:
            check(f.read() == ini, "reading the settings file changed it")

        window = k.open_settings_from("Pelton")
        screenshot(os.path.join(k.artifacts, "settings-window.png"))
        close_settings(k, window)
        with open(path, "rb") as f:
            saved = f.read()
        check(saved.startswith(b"\xff\xfe"), "the first save did not make the file UTF-16")
        text = ini_text(saved)
        check(read_ini(text).get("Execute", {}).get("Char01") == windows_path(batch),
              f"the path came back as {read_ini(text).get('Execute')}")
        check(text.startswith("; saved by Notepad, Zoë"), "the file's own comment was lost")


def broken_file(exe, artifacts):
    """Readable keys, then binary garbage with NULs and a line of 100,000 characters: the program
    starts as the readable keys say, and a save keeps them."""
    garbage = bytes((i * 7919 + 13) % 256 for i in range(20000))
    ini = (b"[Visible]\r\nChar02=0\r\n[Execute]\r\nChar04=" + b"x" * 100000 + b"\r\n" + garbage +
           b"\r\n[Other]\r\nName=kept\r\n")
    move_pointer(160, 240)
    with Kurun(exe, artifacts, "settings_file_broken", files={"kurun.ini": ini}) as k:
        check_shown(k, {"Pelton", "Rugo", "Fenwa"})
        k.wait_standing("Pelton")
        close_settings(k, k.open_settings_from("Pelton"))
        with open(os.path.join(k.dir, "kurun.ini"), "rb") as f:
            values = read_ini(ini_text(f.read()))
        check(values.get("Visible", {}).get("Char02") == "0" and values.get("Other", {}).get("Name") == "kept"
              and values.get("Execute", {}).get("Char04") == "x" * 100000,
              "a save after a broken file lost what was readable in it")
        check(k.proc.poll() is None, "kurun.exe ended after loading a broken settings file")


def test(exe, artifacts):
    launch_dir = tempfile.mkdtemp(prefix="kurun e2e launch ")
    try:
        marker = os.path.join(launch_dir, "launched.txt")
        batch = marking_batch(os.path.join(launch_dir, "run me.bat"), marker)
        ini = (f"; written before the first start\r\n[Visible]\r\nChar02=0\r\nChar04=0\r\n"
               f"[Execute]\r\nChar01={windows_path(batch)}\r\n").encode("latin-1")

        # Pelton comes down from the upper left, Rugo up from below: they never overlap.
        move_pointer(160, 240)
        with Kurun(exe, artifacts, "settings_file", files={"kurun.ini": ini}) as k:
            check_shown(k, {"Pelton", "Rugo"})

            # The stored path is Pelton's launch file.
            k.wait_standing("Pelton")
            click_at(*k.point_on_sprite("Pelton"))
            wait_until(lambda: os.path.exists(marker), "clicking Pelton did not run the batch file "
                                                        "the settings file gave it")
            wait_batch_console_closed(k)

            # Untick Rugo (row 3) and close.
            window = k.open_settings_from("Pelton")
            x, y = window.pos()
            click_at(x + 18, y + ROW_TOP[2] + 5)
            wait_until(lambda: not k.find("Rugo"), "unticking row 3 did not hide Rugo", 5)
            close_settings(k, window)

            with open(os.path.join(k.dir, "kurun.ini"), "rb") as f:
                saved = f.read()
            text = ini_text(saved)
            values = read_ini(text)
            check(values.get("Visible") == {"Char01": "1", "Char02": "0", "Char03": "0", "Char04": "0"},
                  f"the file holds {values.get('Visible')} under Visible after unticking Rugo")
            check(values.get("Execute") == {"Char01": windows_path(batch), "Char02": "", "Char03": "",
                                            "Char04": ""},
                  f"the file holds {values.get('Execute')} under Execute")
            check(text.startswith("; written before the first start"),
                  "the file's own comment was lost")

        # The next start reads what the close button wrote.
        with Kurun(exe, artifacts, "settings_file_again", files={"kurun.ini": saved}) as k:
            check_shown(k, {"Pelton"})

        notepad_file(exe, artifacts, launch_dir)
        broken_file(exe, artifacts)
    finally:
        shutil.rmtree(launch_dir, ignore_errors=True)


if __name__ == "__main__":
    main(test)
