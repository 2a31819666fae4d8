"""Drives the real kurun.exe under Wine on the current X display, as a user would.

Each test starts a fresh program from a private copy of its folder, finds its windows by name,
reads positions and shapes with xwininfo, moves the pointer with xdotool and reads pixels from
ImageMagick screenshots. The program is always killed, whatever happens.
"""
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
# The exit code of a Wine process whose loader or server connection failed.
WINE_GAVE_UP = 1

LAYOUTS = os.path.join(ROOT, "assets", "layouts")


def layout_root(path):
    """The class and the own properties (name -> text as stored) of a layout's root object."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    m = re.match(r"object \w+: (\w+)$", lines[0]) if lines else None
    check(m, f"{path} does not start with its root object")
    props = {}
    for line in lines[1:]:
        if line.startswith("  object ") or line == "end":
            break
        prop = re.match(r"  ([\w.]+) = (.*)$", line)
        if prop:
            props[prop.group(1)] = prop.group(2)
    return m.group(1), props


def read_roster():
    """(name, start Left, start Top, outer Width, outer Height) of each character window, in
    the order of their classes TForm1 to TForm4, as their stored layouts give them."""
    found = {}
    for f in os.listdir(LAYOUTS):
        if not f.endswith(".layout"):
            continue
        cls, props = layout_root(os.path.join(LAYOUTS, f))
        number = re.fullmatch(r"TForm(\d)", cls)
        if not number:
            continue
        name = props["Caption"].strip("'")
        found[int(number.group(1))] = (name, *(int(props[k]) for k in ("Left", "Top", "Width", "Height")))
    check(sorted(found) == [1, 2, 3, 4], f"character layouts in {LAYOUTS}: {sorted(found)}, expected 1 to 4")
    return [found[n] for n in sorted(found)]


class Failure(Exception):
    pass


def check(cond, message):
    if not cond:
        raise Failure(message)


# name, start Left, start Top, outer Width, outer Height
ROSTER = read_roster()
NAMES = [r[0] for r in ROSTER]
SPRITE = 40
KEY = (222, 171, 195)
TICK = 0.05
SETTINGS_TITLE = "設定ウィンドウ"
# The settings window's row tops and the close button, in its client area.
ROW_TOP = [34, 106, 178, 250]
CLOSE_BUTTON = (325, 10)


def run(*args, check_rc=True):
    res = subprocess.run(args, capture_output=True, text=True)
    if check_rc and res.returncode != 0:
        raise Failure(f"{' '.join(args)} failed ({res.returncode}): {res.stderr.strip()}")
    return res.stdout


def screen_size():
    m = re.search(r"dimensions:\s+(\d+)x(\d+)", run("xdpyinfo"))
    return int(m.group(1)), int(m.group(2))


def move_pointer(x, y):
    # Not --sync: it waits forever when the pointer is already there.
    run("xdotool", "mousemove", str(x), str(y))
    for _ in range(50):
        out = run("xdotool", "getmouselocation", "--shell")
        at = dict(line.split("=", 1) for line in out.split())
        if (int(at["X"]), int(at["Y"])) == (x, y):
            return
        time.sleep(0.02)
    raise Failure(f"pointer is at {at}, not at {(x, y)}")


class Window:
    def __init__(self, wid):
        self.wid = wid

    def info(self, shape=False):
        args = ["xwininfo", "-id", self.wid] + (["-shape"] if shape else [])
        text = run(*args)
        def num(label):
            m = re.search(label + r":\s+(-?\d+)", text)
            check(m, f"xwininfo gave no {label} for window {self.wid}")
            return int(m.group(1))
        res = {
            "x": num("Absolute upper-left X"),
            "y": num("Absolute upper-left Y"),
            "w": num("Width"),
            "h": num("Height"),
            "viewable": "IsViewable" in text,
        }
        if shape:
            m = re.search(r"Window shape extents:\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)", text)
            res["shape"] = tuple(int(g) for g in m.groups()) if m else None
        return res

    def pos(self):
        i = self.info()
        return i["x"], i["y"]


class Kurun:
    """One program run: `with Kurun(exe, artifacts) as k:`."""

    def __init__(self, exe, artifacts, name, files=None, prefix=None, env=None):
        """files: {name: bytes} placed beside the program before it starts; prefix: another Wine
        prefix than the private one (dpi_prefix); env: more environment for Wine (scripts/env.sh)."""
        if not os.path.isfile(exe):
            raise Failure(f"{exe} does not exist: build the windows preset first")
        self.exe = exe
        self.artifacts = os.path.join(artifacts, name)
        shutil.rmtree(self.artifacts, ignore_errors=True)
        os.makedirs(self.artifacts)
        self.proc = None
        self.windows = {}
        self.files = files or {}
        self.prefix = prefix
        self.env = env or {}

    def __enter__(self):
        # A kurun.ini left by one test must not reach another: each run gets its own folder.
        self.dir = tempfile.mkdtemp(prefix="kurun-e2e-")
        src = os.path.dirname(os.path.abspath(self.exe))
        for f in os.listdir(src):
            if f == os.path.basename(self.exe) or f.lower().endswith(".dll"):
                shutil.copy2(os.path.join(src, f), self.dir)
        for name, content in self.files.items():
            with open(os.path.join(self.dir, name), "wb") as f:
                f.write(content)
        self.start()
        return self

    def start(self):
        self.log = open(os.path.join(self.artifacts, "wine.log"), "w")
        # Wine's own errors (a crash, a lost server) reach the log; a clean run writes none.
        env = {**os.environ, "KURUN_WINEDEBUG": "-all,err+all", **self.env}
        if self.prefix:
            env["KURUN_WINEPREFIX"] = self.prefix
        self.proc = subprocess.Popen(
            ["bash", WINE_RUN, os.path.join(self.dir, os.path.basename(self.exe))],
            cwd=self.dir, stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT, env=env)
        self.started = time.monotonic()

    def start_again(self, code):
        """kurun.exe itself returns 0 on every path; 1 before any window is Wine's loader or server
        giving up on the process, a rare race of its own. The first log is kept beside the new."""
        print(f"kurun.exe ended with {code} before any window; Wine said:\n{self.log_tail()}\n"
              "starting it once more", file=sys.stderr)
        self.log.close()
        os.replace(self.log.name, self.log.name + ".first")
        self.start()

    def log_tail(self, lines=20):
        self.log.flush()
        with open(self.log.name, errors="replace") as f:
            tail = f.read().splitlines()[-lines:]
        return "\n".join(tail) if tail else "(nothing)"

    def __exit__(self, kind, value, tb):
        if kind is not None:
            self.keep_evidence()
        self.stop()
        self.log.close()
        shutil.rmtree(self.dir, ignore_errors=True)
        return False

    def stop(self):
        if self.proc and self.proc.poll() is None:
            # wine-run.sh execs Wine, so this pid is the program itself.
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)

    def keep_evidence(self):
        try:
            shot = os.path.join(self.artifacts, "failure.png")
            run("import", "-window", "root", shot, check_rc=False)
            with open(os.path.join(self.artifacts, "windows.txt"), "w") as f:
                f.write(run("xwininfo", "-root", "-tree", check_rc=False))
            print(f"evidence kept in {self.artifacts}", file=sys.stderr)
        except Exception as e:  # evidence is a courtesy; the real failure is reported anyway
            print(f"could not keep evidence: {e}", file=sys.stderr)

    def find(self, name):
        out = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.proc.pid),
                  "--name", f"^{name}$", check_rc=False).split()
        return out

    def wait_windows(self, names=NAMES, timeout=60):
        """Waits until these character windows are shown; returns the time the first was."""
        first = None
        retried = False
        while True:
            code = self.proc.poll()
            if code == WINE_GAVE_UP and first is None and not retried:
                self.start_again(code)
                retried = True
                continue
            if code is not None:
                raise Failure(f"kurun.exe ended with {code} before showing its windows; "
                              f"{self.artifacts}/wine.log ends:\n{self.log_tail()}")
            found = {n: self.find(n) for n in names}
            if first is None and any(found.values()):
                first = time.monotonic()
            if all(found.values()):
                for n, ids in found.items():
                    check(len(ids) == 1, f"{len(ids)} windows named {n!r}, expected one")
                    self.windows[n] = Window(ids[0])
                return first
            if time.monotonic() - self.started > timeout:
                missing = [n for n in names if not found[n]]
                raise Failure(f"no window named {', '.join(missing)} within {timeout} s "
                              f"of starting kurun.exe")
            time.sleep(0.05)

    def positions(self):
        return {n: w.pos() for n, w in self.windows.items()}

    def wait_standing(self, name, timeout=15):
        """Waits until the character has stood still for half a second; returns its place."""
        last, since = None, time.monotonic()
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            pos = self.windows[name].pos()
            if pos != last:
                last, since = pos, time.monotonic()
            elif time.monotonic() - since > 0.5:
                return pos
            time.sleep(0.05)
        raise Failure(f"{name} never stood still near the pointer")

    def point_on_sprite(self, name, scale=1):
        """A pixel of the standing character's sprite inside its rest box, where the pointer keeps
        it standing and a click reaches it; `scale` screen pixels a picture pixel."""
        left, top = self.windows[name].pos()
        w, _, raw = screenshot(os.path.join(self.artifacts, "sprite.png"))
        # The commonest colour, not a corner pixel: the tray may sit in the corner.
        back = background(raw)
        for dy in range(6 * scale, 31 * scale):
            for dx in range(6 * scale, 31 * scale):
                x, y = left + dx, top + dy
                if all(pixel(w, raw, x + ex, y + ey) not in (back, bytes(KEY))
                       for ex in (-2, 0, 2) for ey in (-2, 0, 2)):
                    return x, y
        raise Failure(f"no solid pixel on {name}'s sprite near {left, top}")

    def open_settings_from(self, name, scale=1):
        """Opens the settings window from the standing character's menu; returns the window."""
        target = self.point_on_sprite(name, scale)
        # A busy machine may show the menu after the click meant for it: then the menu is
        # closed and asked for again, as a user would.
        for attempt in range(3):
            move_pointer(*target)
            run("xdotool", "click", "3")
            time.sleep(0.5 * (attempt + 1))
            click_at(target[0] + 20, target[1] + 10)
            end = time.monotonic() + 5
            while time.monotonic() < end:
                ids = self.find(SETTINGS_TITLE)
                if ids:
                    return Window(ids[0])
                time.sleep(0.05)
            run("xdotool", "key", "Escape")
        raise Failure(f"no window named {SETTINGS_TITLE!r} appeared")


def ini_text(data):
    """A settings file's text, UTF-16 when it starts with its mark."""
    return data[2:].decode("utf-16-le") if data.startswith(b"\xff\xfe") else data.decode("latin-1")


def read_ini(text):
    """{section: {key: value}}."""
    sections, current = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif "=" in line and current is not None:
            key, value = line.split("=", 1)
            current[key] = value
    return sections


def focused():
    """(id, name) of the X window with the keyboard focus; Wine focuses its unmanaged windows itself."""
    wid = run("xdotool", "getwindowfocus", check_rc=False).strip()
    name = run("xdotool", "getwindowname", wid, check_rc=False).strip() if wid else ""
    return wid, name


def wait_until(condition, what, timeout=20):
    """The condition's first true value, checked every tenth of a second."""
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(what)
        time.sleep(0.1)


def walking(k, names, seconds=1.0):
    """The characters among `names` that moved within `seconds`, the pointer held far away."""
    move_pointer(900, 900)
    before = k.positions()
    time.sleep(seconds)
    after = k.positions()
    return {n for n in names if after[n] != before[n]}


def click_at(x, y, button=1):
    move_pointer(x, y)
    run("xdotool", "click", str(button))


def windows_path(path):
    """The name under which Wine's programs see a Linux path."""
    return "Z:" + path.replace("/", "\\")


def pixel(w, raw, x, y):
    i = 3 * (y * w + x)
    return raw[i:i + 3]


PORTRAITS = os.path.join(ROOT, "assets", "pictures", "portraits")


def picture_rgb(path):
    return subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout


SPRITES = os.path.join(ROOT, "assets", "pictures", "sprites")


def bmp_pixels(path):
    """(width, height, rgb bytes) of a picture file."""
    w, h = (int(v) for v in run("identify", "-format", "%w %h", path).split())
    return w, h, picture_rgb(path)


def scaled_match(shot, left, top, picture, scale=1):
    """Pixels of the picture (other than its key, the bottom-left colour) that are not an exact
    scale x scale block of their colour at (left, top) of the screen, and how many were compared."""
    sw, _, raw = shot
    w, h, rgb = picture
    key = rgb[3 * (h - 1) * w:3 * (h - 1) * w + 3]
    wrong = compared = 0
    for y in range(h):
        for x in range(w):
            colour = rgb[3 * (y * w + x):3 * (y * w + x) + 3]
            if colour == key:
                continue
            compared += 1
            if any(pixel(sw, raw, left + scale * x + dx, top + scale * y + dy) != colour
                   for dx in range(scale) for dy in range(scale)):
                wrong += 1
    return wrong, compared


def check_sprite(k, shot, name, scale=1):
    """The standing character shows one of its frame pictures whole, each pixel a scale x scale
    block: nothing covers it and it is drawn right."""
    left, top = k.windows[name].pos()
    best = None
    for n in range(1, 17):
        wrong, compared = scaled_match(shot, left, top, bmp_pixels(os.path.join(SPRITES, name, f"Rgn{n}.bmp")), scale)
        if best is None or wrong < best[0]:
            best = (wrong, compared, n)
    check(best[0] == 0, f"{name}'s sprite at {left, top} matches no frame{' scaled' if scale > 1 else ''}: "
                        f"best frame {best[2]} has {best[0]} of {best[1]} pixels wrong")
    print(f"{name}: frame {best[2]}, {best[1]} pixels, each an exact {scale} x {scale} block")


def square_matches(w, raw, left, top, picture):
    """True when the 48 x 48 square at (left, top) of the screen shows the picture."""
    for y in range(48):
        row = raw[3 * ((top + y) * w + left):3 * ((top + y) * w + left + 48)]
        if row != picture[3 * 48 * y:3 * 48 * (y + 1)]:
            return False
    return True


def colour_row(shot, origin):
    """The settings row whose portrait is in colour (the others must be grey), or None."""
    w, _, raw = shot
    found = None
    for r in range(4):
        left, top = origin[0] + 12, origin[1] + ROW_TOP[r] + 16
        if square_matches(w, raw, left, top, picture_rgb(os.path.join(PORTRAITS, f"portrait{r + 1}.bmp"))):
            check(found is None, "two rows show their colour portrait")
            found = r
        else:
            grey = picture_rgb(os.path.join(PORTRAITS, f"portrait{r + 1}_grey.bmp"))
            check(square_matches(w, raw, left, top, grey), f"row {r + 1} shows neither of its portraits")
    return found


def screenshot(path):
    """Returns (width, height, rgb bytes) of the whole screen, also saved as PNG."""
    run("import", "-window", "root", path)
    w, h = (int(v) for v in run("identify", "-format", "%w %h", path).split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"],
                         capture_output=True, check=True).stdout
    check(len(raw) == w * h * 3, f"screenshot {path} has {len(raw)} bytes for {w}x{h}")
    return w, h, raw


def key_pixels(w, raw):
    """Screen coordinates of every pixel in the key colour."""
    key = bytes(KEY)
    found, at = [], raw.find(key)
    while at >= 0:
        if at % 3 == 0:
            found.append(((at // 3) % w, (at // 3) // w))
        at = raw.find(key, at + 1)
    return found


def background(raw):
    """The commonest colour on a sample of the screen: what no window covers."""
    counts = {}
    for i in range(0, len(raw), 3 * 97):
        c = raw[i:i + 3]
        counts[c] = counts.get(c, 0) + 1
    return max(counts, key=counts.get)


def stored_outlines(name):
    """Each frame's stored outline (RGNDATA bytes), frame 1 to 16."""
    with open(os.path.join(LAYOUTS, f"{name}.layout"), encoding="utf-8") as f:
        text = f.read()
    outlines = {int(m.group(1)): bytes.fromhex("".join(m.group(2).split()))
                for m in re.finditer(r"object Rgn(\d+): TRgn.*?RgnData = \{([0-9A-Fa-f\s]*)\}", text, re.S)}
    check(sorted(outlines) == list(range(1, 17)), f"{name}.layout stores outlines of frames {sorted(outlines)}")
    return outlines


def stored_outline_bounds(name):
    """The bounding box (left, top, right, bottom) of each frame's stored outline, frame 1 to 16."""
    # RGNDATAHEADER.rcBound
    return {n: struct.unpack_from("<4i", data, 16) for n, data in stored_outlines(name).items()}


def check_shapes(k, scale):
    """Each window is the layout's size times `scale`; its X shape the box of a frame's outline scaled."""
    for name, _, _, width, height in ROSTER:
        info = k.windows[name].info(shape=True)
        check((info["w"], info["h"]) == (scale * width, scale * height),
              f"{name}'s window is {info['w']} x {info['h']}, not {scale * width} x {scale * height}")
        scaled = {(scale * (r - l), scale * (b - t), scale * l, scale * t)
                  for l, t, r, b in stored_outline_bounds(name).values()}
        check(info["shape"] in scaled, f"{name}'s shape extents {info['shape']} are no frame's outline times {scale}")


def wine_prefix_copy(kind):
    """A copy of the private Wine prefix (made once): "192dpi" and the like, whose screen has that
    many dots per inch, or "desktop", where Wine hands windows to a window manager."""
    return run("bash", os.path.join(ROOT, "scripts", "wine-prefix-copy.sh"), kind).strip()


def dpi_prefix(dpi):
    """A copy of the private Wine prefix whose screen has `dpi` dots per inch."""
    return wine_prefix_copy(f"{dpi}dpi")


class OwnDisplay:
    """`with OwnDisplay(w, h):` an Xvfb screen of its own for the block, with the pointer movable;
    DISPLAY names it meanwhile."""

    def __init__(self, width, height):
        self.size = f"{width}x{height}x24"

    def __enter__(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", self.size, "-nolisten", "tcp"],
                                     pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            check(chunk, "Xvfb did not start")
            number += chunk
        os.close(read)
        self.saved = os.environ.get("DISPLAY")
        os.environ["DISPLAY"] = ":" + number.decode().strip()
        self.anchor = subprocess.Popen([sys.executable, os.path.join(ROOT, "scripts", "pointer_anchor.py")])
        time.sleep(0.5)
        return self

    def __exit__(self, *exc):
        for proc in (self.anchor, self.xvfb):
            proc.terminate()
            proc.wait(10)
        os.environ["DISPLAY"] = self.saved
        return False


def keep_pointer_movable():
    """Xvfb ignores pointer warps while no client window is mapped: keep one mapped for the life
    of this process, as on a display that kurun has not reached yet."""
    sys.path.insert(0, os.path.join(ROOT, "scripts"))
    import pointer_anchor
    pointer_anchor.anchor()


def main(test):
    """Runs test(exe, artifacts) with the arguments ctest passes; prints one verdict line."""
    signal.signal(signal.SIGTERM, lambda *a: sys.exit("terminated (timeout?)"))
    if len(sys.argv) < 2:
        sys.exit(f"usage: {sys.argv[0]} path/to/kurun.exe [artifact folder]")
    exe = os.path.abspath(sys.argv[1])
    artifacts = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "e2e-artifacts")
    if not os.environ.get("DISPLAY"):
        sys.exit("no DISPLAY: run under scripts/xvfb.sh")
    keep_pointer_movable()
    try:
        test(exe, artifacts)
    except Failure as e:
        print(f"FAIL: {e}", file=sys.stderr)
        sys.exit(1)
    print("PASS")
