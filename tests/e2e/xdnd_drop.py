"""Drops files onto an X window the way a Linux file manager does: the XDND protocol.

    /usr/bin/python3 xdnd_drop.py WINDOW_ID X Y PATH...

Owns XdndSelection, sends XdndEnter (text/uri-list), XdndPosition at the root point (X, Y),
waits for the target's XdndStatus, sends XdndDrop, answers the target's selection request
with file:// URIs and waits for XdndFinished. Exits 0 when the target accepted the drop.
Needs Debian's python3-xlib, hence /usr/bin/python3.
"""
import sys
import time
import urllib.parse

from Xlib import X, Xatom, display
from Xlib.protocol import event

TIMEOUT = 10.0


def main():
    target_id, x, y = int(sys.argv[1], 0), int(sys.argv[2]), int(sys.argv[3])
    uris = "".join("file://" + urllib.parse.quote(p) + "\r\n" for p in sys.argv[4:]).encode()
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

    uri_list, selection = atom("text/uri-list"), atom("XdndSelection")
    source.set_selection_owner(selection, X.CurrentTime)

    def send(name, data):
        message = event.ClientMessage(window=target, client_type=atom(name), data=(32, data))
        target.send_event(message, event_mask=0)
        d.flush()

    send("XdndEnter", [source.id, version << 24, uri_list, 0, 0])
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
            requestor.change_property(prop, uri_list if e.target == uri_list else Xatom.STRING, 8, uris)
            notify = event.SelectionNotify(time=e.time, requestor=requestor, selection=e.selection,
                                           target=e.target, property=prop)
            requestor.send_event(notify)
            d.flush()
        elif e.type == X.ClientMessage and e.client_type == atom("XdndFinished"):
            return
    sys.exit("xdnd: no answer from the target" if not dropped else "xdnd: the drop did not finish")


if __name__ == "__main__":
    main()
