"""Drops files onto an X window the way a Linux file manager does, or a link the way a web
browser does: the XDND protocol.

    /usr/bin/python3 xdnd_drop.py WINDOW_ID X Y PATH...
    /usr/bin/python3 xdnd_drop.py WINDOW_ID X Y --link ADDRESS

Owns XdndSelection, sends XdndEnter with the types offered (files: text/uri-list of file://
URIs; a link: text/uri-list, text/plain and Firefox's and Chromium's text/x-moz-url, the address
and a title in UTF-16), XdndPosition at the root point (X, Y), waits for the target's
XdndStatus, sends XdndDrop, answers the target's selection requests and waits for XdndFinished.
Exits 0 when the target accepted the drop. Needs Debian's python3-xlib, hence /usr/bin/python3.
"""
import sys
import time
import urllib.parse

from Xlib import X, display
from Xlib.protocol import event

TIMEOUT = 10.0


def main():
    target_id, x, y = int(sys.argv[1], 0), int(sys.argv[2]), int(sys.argv[3])
    if sys.argv[4] == "--link":
        address = sys.argv[5]
        offers = {"text/uri-list": (address + "\r\n").encode(), "text/plain": address.encode(),
                  "text/x-moz-url": (address + "\nA web page").encode("utf-16-le")}
    else:
        offers = {"text/uri-list": "".join("file://" + urllib.parse.quote(p) + "\r\n" for p in sys.argv[4:]).encode()}
    d = display.Display()
    atom = lambda name: d.intern_atom(name)
    root = d.screen().root
    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    target = d.create_resource_object("window", target_id)

    # The drop goes to the window that says it takes drops: the target or one of its parents.
    aware = atom("XdndAware")
    while target.get_full_property(aware, X.AnyPropertyType) is None:
        parent = target.query_tree().parent
        if parent is None or parent.id == root.id:
            sys.exit("xdnd: no window under the target takes drops")
        target = parent
    version = min(5, target.get_full_property(aware, X.AnyPropertyType).value[0])

    offers = {atom(name): data for name, data in offers.items()}
    selection = atom("XdndSelection")
    source.set_selection_owner(selection, X.CurrentTime)

    def send(name, data):
        message = event.ClientMessage(window=target, client_type=atom(name), data=(32, data))
        target.send_event(message, event_mask=0)
        d.flush()

    types = (list(offers) + [0, 0, 0])[:3]
    send("XdndEnter", [source.id, version << 24] + types)
    send("XdndPosition", [source.id, 0, (x << 16) | y, X.CurrentTime, atom("XdndActionCopy")])

    accepted = dropped = False
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        if not d.pending_events():
            time.sleep(0.01)
            continue
        e = d.next_event()
        if e.type == X.ClientMessage and e.client_type == atom("XdndStatus"):
            accepted = bool(e.data[1][1] & 1)
            if not accepted:
                send("XdndLeave", [source.id, 0, 0, 0, 0])
                sys.exit("xdnd: the target refused the drop")
            if not dropped:
                send("XdndDrop", [source.id, 0, X.CurrentTime, 0, 0])
                dropped = True
        elif e.type == X.SelectionRequest:
            requestor = e.requestor
            prop = e.property or e.target
            requestor.change_property(prop, e.target, 8, offers.get(e.target, b""))
            notify = event.SelectionNotify(time=e.time, requestor=requestor, selection=e.selection,
                                           target=e.target, property=prop)
            requestor.send_event(notify)
            d.flush()
        elif e.type == X.ClientMessage and e.client_type == atom("XdndFinished"):
            return
    sys.exit("xdnd: no answer from the target" if not dropped else "xdnd: the drop did not finish")


if __name__ == "__main__":
    main()
