"""Maps a 1 x 1 window off the screen and keeps it until stopped.

Xvfb ignores pointer warps (xdotool mousemove, SetCursorPos) while no client window is mapped,
so a display that kurun has not reached yet needs one; it is never seen."""
import ctypes
import signal
import sys


def anchor():
    """Maps the window; returns False when there is no X library or display."""
    try:
        x = ctypes.CDLL("libX11.so.6")
    except OSError:
        return False
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                      ctypes.c_ulong]
    x.XCreateSimpleWindow.restype = ctypes.c_ulong
    x.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    display = x.XOpenDisplay(None)
    if not display:
        return False
    x.XMapWindow(display, x.XCreateSimpleWindow(display, x.XDefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0))
    x.XSync(display, 0)
    # The connection must stay open for the window to stay mapped.
    anchor.display = display
    return True


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(0))
    if not anchor():
        sys.exit("anchor: cannot open the display")
    signal.pause()
