"""The settings file as a user meets it: a kurun.ini placed beside kurun.exe hides the characters
it names and gives Pelton a batch file that a click runs; unticking a character in the settings
window and pressing close writes the file; the next start keeps that character hidden."""
import os
import shutil
import tempfile
import time

from kurun_e2e import (CLOSE_BUTTON, NAMES, ROW_TOP, SETTINGS_TITLE, Kurun, check, click_at, ini_text, main,
                       move_pointer, read_ini, wait_until, windows_path)


def check_shown(k, shown):
    """The characters in `shown` are on screen and no other is, once start-up has finished."""
    k.wait_windows(sorted(shown))
    # The loop has run by the time a window appears; give it a few ticks to undo anything.
    time.sleep(0.5)
    for name in NAMES:
        on_screen = bool(k.find(name))
        check(on_screen == (name in shown), f"{name} is {'shown' if on_screen else 'hidden'}, expected "
                                            f"the file to show only {sorted(shown)}")


def test(exe, artifacts):
    launch_dir = tempfile.mkdtemp(prefix="kurun e2e launch ")
    try:
        marker = os.path.join(launch_dir, "launched.txt")
        batch = os.path.join(launch_dir, "run me.bat")
        with open(batch, "w", newline="\r\n") as f:
            f.write(f'@echo launched> "{windows_path(marker)}"\n')
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

            # Untick Rugo (row 3) and close.
            window = k.open_settings_from("Pelton")
            x, y = window.pos()
            click_at(x + 18, y + ROW_TOP[2] + 5)
            wait_until(lambda: not k.find("Rugo"), "unticking row 3 did not hide Rugo", 5)
            click_at(x + CLOSE_BUTTON[0], y + CLOSE_BUTTON[1])
            wait_until(lambda: not k.find(SETTINGS_TITLE), "the settings window stayed open", 5)

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
    finally:
        shutil.rmtree(launch_dir, ignore_errors=True)


if __name__ == "__main__":
    main(test)
