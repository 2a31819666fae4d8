"""A library left beside the program (another download in the same Downloads folder) under the
name of one the program loads is never taken: not at start-up, which asks the monitor's DPI, nor
when the settings window opens from the tray, is read by a screen reader and closes, nor at exit. A tiny program that loads
the same names the unprotected way takes every one, so the test sees a planted copy taken."""
import os
import re
import subprocess

from kurun_e2e import SETTINGS_TITLE, Failure, Kurun, check, main, move_pointer
from test_screen_reader import read
from test_settings_file import close_settings
from test_tray import INI, exit_from_tray, open_settings_from_tray, tray_icon

# The libraries the program loads that Windows would look for beside it first, one line each.
# Not planted: version, uxtheme and shcore, which Wine's own user32 and shell32 take from the
# program's folder before its first line runs (on Windows known DLLs reach them).
LOADED = [
    "oleacc.dll",
    "wtsapi32.dll",
]
# Planted too: a library the program once imported and must not come to take again.
PLANTED = LOADED + ["comctl32.dll"]
# Wine prefers a copy beside the program to its own, and a crash ends the process at once
# instead of waiting in Wine's debugger.
ENV = {"KURUN_WINEDLLOVERRIDES": ",".join(n.removesuffix(".dll") for n in PLANTED) + "=n,b;winedbg.exe=d",
       "KURUN_WINEDEBUG": "-all,err+all,+loaddll"}


def taken(k):
    """The planted libraries that were loaded: each leaves "<name>.loaded" beside itself."""
    return sorted(f.removesuffix(".loaded").lower() for f in os.listdir(k.dir) if f.endswith(".loaded"))


def test(exe, artifacts):
    with open(os.path.join(os.path.dirname(exe), "planting", "planted_library.dll"), "rb") as f:
        library = f.read()
    planted = {name: library for name in PLANTED}
    with Kurun(os.path.join(os.path.dirname(exe), "bare_loader.exe"), artifacts, "bare_loader", files=planted,
               env=ENV) as k:
        try:
            k.proc.wait(30)
        except subprocess.TimeoutExpired:
            raise Failure("bare_loader.exe still runs after 30 s")
        check(taken(k) == sorted(PLANTED), f"a program loading {PLANTED} by bare name took {taken(k)} of the "
                                           f"planted copies: this test cannot see a planted library taken")

    move_pointer(640, 700)
    with Kurun(exe, artifacts, "planted", files={**planted, "kurun.ini": INI}, env=ENV) as k:
        try:
            k.wait_windows(["Fenwa"])
            icon = tray_icon(k)
            settings = open_settings_from_tray(k, icon)
            check(read(exe, "read", SETTINGS_TITLE), "a screen reader heard nothing of the settings window")
            close_settings(k, settings)
            exit_from_tray(k, icon)
        finally:  # a planted copy that broke the program is the fault to report
            check(not taken(k), f"kurun.exe took the planted {taken(k)} from its own folder")
        with open(k.log.name, errors="replace") as log:
            loaded = re.findall(r'Loaded L"([^"]+)"', log.read())
        for name in PLANTED:
            where = [path for path in loaded if path.lower().endswith("\\" + name)]
            check((where or name not in LOADED) and all("\\system32\\" in path.lower() for path in where),
                  f"kurun.exe did not load {name}, or not only from the system folder: {where}")
        print(f"kurun.exe loaded {', '.join(LOADED)} from the system folder; the planted copies stayed unused")


if __name__ == "__main__":
    main(test)
