"""Where the window's controls sit, read off the native varnok through the
accessibility tree, for the journeys under Wine (wine_journeys.py). Wine
offers Linux no accessibility tree of a Windows program; the layout is the
same code on both platforms, so each control's place within its window is
the same there.

    layout.py BIN_DIR OUT_DIR LAYOUT_JSON

Writes {name: [x, y, width, height]}: the main window and the download
dialog on the screen, every control relative to its own window. Run inside
an X server and a D-Bus session with the accessibility bus.
"""

import json
import os
import sys

import pyatspi

from journeys import TOOL_FOUND, choose, control, entry, product_update, wait_port_indicator
from journeykit import classic_update_file
from varnokgui import Session, click_centre, extents, find_all, wait_for


def relative(acc, window):
    x, y, w, h = extents(acc)
    wx, wy, _, _ = extents(window)
    return [x - wx, y - wy, w, h]


def main(argv):
    bin_dir, out_dir, out_json = (os.path.abspath(a) for a in argv[1:4])
    layout = {}
    with Session(bin_dir, out_dir, tool=("classic", "QV120")) as s:
        window = s.window
        layout["window"] = list(extents(window))
        for name in ("QV120", "QV220"):
            layout[f"entry {name}"] = relative(entry(s, name), window)
        wait_port_indicator(s, TOOL_FOUND)
        for name in ("Browse... (.bin)", "Update (.bin)"):
            layout[name] = relative(control(s, pyatspi.ROLE_PUSH_BUTTON, name), window)
        path, _ = classic_update_file(s.work, "QV120", 4096)
        product_update(s, path)
        dialog = wait_for("the download dialog", lambda: next(
            iter(s.top_level(name="Firmware update")), None))
        wait_for("\"Update done!\" in the download dialog",
                 lambda: find_all(dialog, role=pyatspi.ROLE_LABEL, name="Update done!"))
        ok = control(s, pyatspi.ROLE_PUSH_BUTTON, "ok", root=dialog)
        layout["dialog"] = list(extents(dialog))
        layout["dialog ok"] = relative(ok, dialog)
        click_centre(ok)
        wait_for("the download dialog closed", lambda: dialog not in s.top_level())
        choose(s, "QV220")
        data_mode = control(s, pyatspi.ROLE_PUSH_BUTTON, "Data mode")
        layout["Data mode"] = relative(data_mode, window)
        click_centre(data_mode)
        for name in ("Copy", "Edit in text editor"):
            layout[name] = relative(control(s, pyatspi.ROLE_PUSH_BUTTON, name), window)
    with open(out_json, "w") as f:
        json.dump(layout, f, indent=1, sort_keys=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
