#!/usr/bin/python3
"""Drops files on an X window as a file manager does (XDND, text/uri-list), for
scripts/test-windows: the window under Wine receives them as WM_DROPFILES.

    xdnd_drop.py WINDOW X Y FILE...

WINDOW is the X window id, (X, Y) the point of the drop in it. Exit status 0 when the
target took the drop, 1 when it refused it or did not answer.
"""

import sys
import time
import urllib.parse

from Xlib import X, display
from Xlib.protocol import event

TIMEOUT_S = 10


def main():
    target_id = int(sys.argv[1], 0)
    x, y = int(sys.argv[2]), int(sys.argv[3])
    files = sys.argv[4:]
    uris = "".join("file://" + urllib.parse.quote(f) + "\r\n" for f in files).encode()

    d = display.Display()
    atom = lambda name: d.intern_atom(name)
    uri_list = atom("text/uri-list")
    root = d.screen().root
    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent, event_mask=X.PropertyChangeMask)
    target = d.create_resource_object("window", target_id)
    origin = target.translate_coords(root, 0, 0)
    root_x, root_y = x - origin.x, y - origin.y
    source.set_selection_owner(atom("XdndSelection"), X.CurrentTime)

    def send(name, data):
        message = event.ClientMessage(window=target, client_type=atom(name),
                                      data=(32, [source.id] + data))
        target.send_event(message, event_mask=0)
        d.flush()

    send("XdndEnter", [5 << 24, uri_list, 0, 0])
    send("XdndPosition", [0, (root_x << 16) | root_y, X.CurrentTime, atom("XdndActionCopy")])

    accepted = None
    finished = False
    deadline = time.time() + TIMEOUT_S
    while time.time() < deadline and not finished:
        if not d.pending_events():
            time.sleep(0.01)
            continue
        e = d.next_event()
        if e.type == X.ClientMessage and e.client_type == atom("XdndStatus"):
            if accepted is None:
                accepted = bool(e.data[1][1] & 1)
                if not accepted:
                    send("XdndLeave", [0, 0, 0, 0])
                    break
                send("XdndDrop", [0, X.CurrentTime, 0, 0])
        elif e.type == X.ClientMessage and e.client_type == atom("XdndFinished"):
            finished = True
        elif e.type == X.SelectionRequest:
            prop = e.property if e.property != X.NONE else e.target
            if e.target == uri_list:
                e.requestor.change_property(prop, uri_list, 8, uris)
            else:
                prop = X.NONE
            reply = event.SelectionNotify(time=e.time, requestor=e.requestor,
                                          selection=e.selection, target=e.target,
                                          property=prop)
            e.requestor.send_event(reply)
            d.flush()
    return 0 if accepted and finished else 1


if __name__ == "__main__":
    sys.exit(main())
