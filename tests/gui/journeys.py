"""The journeys a person makes through the varnok window, each with its own
check of what the window shows.

    journeys.py BIN_DIR OUT_DIR [JOURNEY...]

BIN_DIR holds varnok, varnok-toolsim and device.xml; OUT_DIR receives a
screenshot of the screen for every journey that fails. Exit status 0 when
every journey passed. Run inside scripts/test-gui (X server, D-Bus session
and accessibility bus).
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

import pyatspi
from gi.repository import GLib

from journeykit import classic_update_file
from scaling import journey_display_scales
from varnokgui import (JourneyFailure, Session, click, click_centre, extents, find_all,
                       is_showing, key, popup_drawn_at, states, text_of, type_text, wait_for,
                       wait_for_one, walk)

TOOL_FOUND = "Tool found on port 1"


def entry(s, name):
    """A catalogue entry of the main window."""
    return wait_for_one(lambda: s.window, f"the catalogue entry \"{name}\"",
                        role=pyatspi.ROLE_PAGE_TAB, name=name)


def choose(s, name):
    target = entry(s, name)
    click_centre(target)
    wait_for(f"\"{name}\" selected in the catalogue",
             lambda: pyatspi.STATE_SELECTED in states(entry(s, name)))


def control(s, role, name, root=None):
    return wait_for_one(lambda: root or s.window, f"a showing {getattr(role, 'value_nick', role)}"
                        f" named \"{name}\"", role=role, name=name)


def wait_port_indicator(s, text):
    wait_for(f"the port indicator reading \"{text}\"",
             lambda: find_all(s.window, role=pyatspi.ROLE_STATUS_BAR, name=text))


def wait_enabled(s, acc, what):
    wait_for(f"{what} enabled", lambda: pyatspi.STATE_ENABLED in states(acc))


def pick_file_in_dialog(s, path):
    """Types `path` into the open-file dialog that is showing and accepts it."""
    dialog = wait_for("the open-file dialog", lambda: next(iter(s.top_level(name="Open")), None))
    name_box = wait_for_one(lambda: dialog, "the file name box of the open-file dialog",
                            role=pyatspi.ROLE_TEXT, name="File name:")
    if pyatspi.STATE_FOCUSED not in states(name_box):
        # A new window has the keyboard only once the window system gave
        # it; a person clicks into the box.
        click_centre(name_box)
    wait_for("the keyboard focus in the file name box",
             lambda: pyatspi.STATE_FOCUSED in states(name_box))
    type_text(path)
    wait_for("the typed path in the file name box", lambda: text_of(name_box) == path)
    key("Return")
    wait_for("the open-file dialog closed", lambda: not is_showing(dialog) or
             dialog not in s.top_level())


def product_update(s, bin_path):
    """QV120 page: Browse..., the file, then Update; returns the Update button."""
    browse = control(s, pyatspi.ROLE_PUSH_BUTTON, "Browse... (.bin)")
    click_centre(browse)
    pick_file_in_dialog(s, bin_path)
    box = control(s, pyatspi.ROLE_TEXT, ".bin file")
    wait_for(f"the .bin path box showing {bin_path}", lambda: text_of(box) == bin_path)
    update = control(s, pyatspi.ROLE_PUSH_BUTTON, "Update (.bin)")
    wait_enabled(s, update, "Update (.bin)")
    click_centre(update)
    return update


# --- the journeys ------------------------------------------------------------

def journey_qv120_update(bin_dir, out_dir):
    """QV120: Browse..., the path typed into the file dialog, Update, the
    download dialog reaches "Update done!", ok closes it; the simulator's
    flash equals the image."""
    with Session(bin_dir, out_dir, tool=("classic", "QV120")) as s:
        path, image = classic_update_file(s.work, "QV120", 48 * 1024)
        wait_port_indicator(s, TOOL_FOUND)
        product_update(s, path)
        dialog = wait_for("the download dialog", lambda: next(
            iter(s.top_level(name="Firmware update")), None))
        wait_for("\"Update done!\" in the download dialog's status line",
                 lambda: find_all(dialog, role=pyatspi.ROLE_LABEL, name="Update done!"),
                 timeout=60)
        bar = find_all(dialog, role=pyatspi.ROLE_PROGRESS_BAR)[0]
        value = bar.queryValue()
        if value.currentValue != value.maximumValue or value.maximumValue <= 0:
            raise JourneyFailure(f"the progress bar stands at {value.currentValue} of "
                                 f"{value.maximumValue} after \"Update done!\"")
        ok = control(s, pyatspi.ROLE_PUSH_BUTTON, "ok", root=dialog)
        click_centre(ok)
        wait_for("the download dialog closed by ok", lambda: dialog not in s.top_level())
        s.stop_tool()
        wait_for("the window no longer busy once the tool stopped", lambda: not is_busy(s.window))
        with open(s.flash_out, "rb") as f:
            flash = f.read()
        if flash != image:
            raise JourneyFailure(f"the simulated flash ({len(flash)} bytes) differs from the "
                                 f"image ({len(image)} bytes)")


def journey_dtc_lookup(bin_dir, out_dir):
    """DTC lookup: the page opens, "p0420" is typed without any click into
    the box, and row P0420 is selected and visible."""
    with Session(bin_dir, out_dir) as s:
        wait_port_indicator(s, "No tool connected")
        choose(s, "DTC lookup")
        search = control(s, pyatspi.ROLE_TEXT, "Search")
        wait_for("the DTC search box with the keyboard focus",
                 lambda: pyatspi.STATE_FOCUSED in states(search))
        type_text("p0420")
        wait_for("\"P0420\" in the search box", lambda: text_of(search) == "P0420")
        table = control(s, pyatspi.ROLE_TABLE, "Trouble codes")

        def selected_row():
            t = table.queryTable()
            rows = t.getSelectedRows()
            if len(rows) != 1:
                return None
            cell = t.getAccessibleAt(rows[0], 0)
            return cell if cell is not None and cell.name == "P0420" else None
        cell = wait_for("row P0420 selected in the trouble-code list", selected_row)
        tx, ty, tw, th = extents(table)

        def visible():
            x, y, w, h = extents(cell)
            return ty <= y and y + h <= ty + th and is_showing(cell)
        wait_for("row P0420 within the visible part of the list", visible)


MISMATCH = ("The equipment type does not match. Please check the equipment, \n"
            "or power it down and then reconnect.")


def message_box(s, text):
    """The program's message box showing `text`; returns (box, its OK button)."""
    def probe():
        for w in s.top_level(name="Varnok"):
            if find_all(w, role=pyatspi.ROLE_LABEL, name=text):
                return w
        return None
    box = wait_for(f"the message box \"{text}\"", probe)
    return box, control(s, pyatspi.ROLE_PUSH_BUTTON, "OK", root=box)


def journey_model_mismatch(bin_dir, out_dir):
    """A simulated QV220 tool on the QV120 page: the mismatch message
    appears and OK closes it."""
    with Session(bin_dir, out_dir, tool=("classic", "QV220")) as s:
        path, _ = classic_update_file(s.work, "QV120", 4096)
        wait_port_indicator(s, TOOL_FOUND)
        product_update(s, path)
        box, ok = message_box(s, MISMATCH)
        click_centre(ok)
        wait_for("the mismatch message closed by OK", lambda: box not in s.top_level())
        if s.top_level(name="Firmware update"):
            raise JourneyFailure("a download dialog opened for the wrong model")


RECORDER = """#!/bin/sh
# Stands in for the desktop's document handler: records what it was asked to open.
printf '%s\\n' "$@" >> "$VARNOK_GUI_OPENED"
"""


def journey_manual_opens(bin_dir, out_dir):
    """Manuals: a double-click on a document opens it through the desktop's
    handler (xdg-open, here a script that records its argument)."""
    handler_dir = tempfile.mkdtemp(prefix="varnok-gui-handler.")
    opened = os.path.join(handler_dir, "opened")
    handler = os.path.join(handler_dir, "xdg-open")
    with open(handler, "w") as f:
        f.write(RECORDER)
    os.chmod(handler, 0o755)
    env = {"PATH": handler_dir + os.pathsep + os.environ.get("PATH", ""),
           "VARNOK_GUI_OPENED": opened}
    try:
        document = os.path.join(bin_dir, "manual", "Varnok-User-Guide.html")
        with Session(bin_dir, out_dir, extra_env=env) as s:
            choose(s, "Manuals")
            files = wait_for_one(lambda: s.window, "the list of manuals", name="Manuals",
                                 pred=lambda a: a.getRole() in (pyatspi.ROLE_TREE, pyatspi.ROLE_LIST,
                                                                pyatspi.ROLE_TREE_TABLE,
                                                                pyatspi.ROLE_TABLE))

            def row():
                for a in walk(files, descend_rows=True):
                    if a is not files and a.name == os.path.basename(document) and is_showing(a):
                        return a
                return None
            item = wait_for(f"the document {os.path.basename(document)} in the list", row)
            click_centre(item, repeat=2)

            def recorded():
                if not os.path.exists(opened):
                    return None
                with open(opened) as f:
                    return f.read().split("\n")[0] or None
            arg = wait_for("the desktop's handler asked to open the document", recorded)
            if arg not in (document, "file://" + document):
                raise JourneyFailure(f"the handler was asked to open {arg!r}, not {document}")
    finally:
        shutil.rmtree(handler_dir, ignore_errors=True)


def journey_data_mode(bin_dir, out_dir):
    """QV220 data mode: the simulated tool's lines appear in the view; Copy
    puts them on the clipboard (read with xclip); Print with Qt's print
    dialog to "Print to File (PDF)" writes a PDF whose footers read
    "- p/n -" (read with pdftotext)."""
    lines = [f"LINE {i:03d} T=25 RPM 812" for i in range(1, 131)]
    with Session(bin_dir, out_dir) as s:
        data = os.path.join(s.work, "data.txt")
        with open(data, "w") as f:
            f.write("\n".join(lines) + "\n")
        s.start_tool("classic", "QV220", "--data-file", data, "--data-baud", "0")
        choose(s, "QV220")
        wait_port_indicator(s, TOOL_FOUND)
        click_centre(control(s, pyatspi.ROLE_PUSH_BUTTON, "Data mode"))
        view = control(s, pyatspi.ROLE_TEXT, "Data view")
        expected = "\r\n".join(lines) + "\r\n"
        wait_for(f"the tool's {len(lines)} lines in the data view",
                 lambda: text_of(view).replace("\u2029", "\n").replace("\r\n", "\n")
                 .rstrip("\n").split("\n") == lines)

        # While the lines come in the window holds the mouse back (busy, the
        # wait cursor) until the next 3-second tick.
        wait_for("the window no longer busy after the lines", lambda: not is_busy(s.window))
        copy = control(s, pyatspi.ROLE_PUSH_BUTTON, "Copy")

        def copied():
            click_centre(copy)
            deadline = time.monotonic() + 4
            while time.monotonic() < deadline:
                got = subprocess.run(["xclip", "-o", "-selection", "clipboard"],
                                     capture_output=True, timeout=10).stdout
                if got:
                    return got
                time.sleep(0.1)
            return None
        clip = wait_for("the view's text on the clipboard after Copy", copied)
        if clip.decode("utf-8", "replace").replace("\r\n", "\n") != expected.replace("\r\n", "\n"):
            raise JourneyFailure(f"the clipboard holds {clip[:80]!r}..., not the view's "
                                 f"{len(lines)} lines")

        pdf = os.path.join(s.work, "capture.pdf")
        click_centre(control(s, pyatspi.ROLE_PUSH_BUTTON, "Print"))
        dialog = wait_for("Qt's print dialog", lambda: next(iter(s.top_level(name="Print")), None))
        wait_for_one(lambda: dialog, "\"Print to File (PDF)\" as the chosen printer",
                     role=pyatspi.ROLE_COMBO_BOX,
                     pred=lambda a: "Print to File (PDF)" in (a.name or ""))
        out_box = wait_for_one(lambda: dialog, "the output file box of the print dialog",
                               role=pyatspi.ROLE_TEXT, name="Output file:")
        click_centre(out_box)
        wait_for("the keyboard focus in the output file box",
                 lambda: pyatspi.STATE_FOCUSED in states(out_box))
        key("ctrl+a")
        type_text(pdf)
        wait_for("the PDF's path in the output file box", lambda: text_of(out_box) == pdf)
        click_centre(control(s, pyatspi.ROLE_PUSH_BUTTON, "Print", root=dialog))
        wait_for("the print dialog closed", lambda: dialog not in s.top_level())

        def printed():
            if not os.path.exists(pdf) or os.path.getsize(pdf) == 0:
                return None
            info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True)
            if info.returncode != 0:
                return None  # still being written
            pages = [l for l in info.stdout.splitlines() if l.startswith("Pages:")]
            return int(pages[0].split()[1]) if pages else None
        pages = wait_for("a complete PDF from the print run", printed)
        for p in range(1, pages + 1):
            text = subprocess.run(["pdftotext", "-f", str(p), "-l", str(p), "-layout", pdf, "-"],
                                  capture_output=True, text=True).stdout
            footer = f"- {p}/{pages} -"
            if footer not in text:
                raise JourneyFailure(f"page {p} of {pages} of the PDF has no footer \"{footer}\"")
        text = subprocess.run(["pdftotext", pdf, "-"], capture_output=True, text=True).stdout
        missing = [l for l in (lines[0], lines[-1]) if l not in text]
        if pages < 2 or missing:
            raise JourneyFailure(f"the PDF has {pages} page(s) and lacks {missing}")


def is_busy(window):
    return pyatspi.STATE_BUSY in states(window)


def journey_busy_hold(bin_dir, out_dir):
    """QV220 data mode while the tool sends without pause (the window reads
    busy): a right-click on the view opens no menu and the window's close
    button does nothing;
    once the tool is gone and the hold ended, both act again. (Each click
    is followed by a typed key: X input is handled in order, so the key in
    the view proves the click before it was handled.)"""
    with Session(bin_dir, out_dir) as s:
        view = busy_data_view(s)
        close = control(s, pyatspi.ROLE_PUSH_BUTTON, "Close")

        # Qt leaves pop-up menus out of the accessibility tree (the
        # application lists its windows without the pop-ups), so whether
        # the right-click menu is there is read from the screen: its frame
        # at the click point.
        vx, vy, vw, vh = extents(view)
        at = (vx + vw // 2, vy + vh // 2)

        def handled_before(mark, what):
            type_text(mark)
            wait_for(f"the key typed after {what} in the data view (or a menu in its way)",
                     lambda: s.app.poll() is not None or mark in text_of(view)
                     or popup_drawn_at(*at))
            if s.app.poll() is not None:
                raise JourneyFailure(f"{what} closed the window while the tool was sending")
            if popup_drawn_at(*at):
                raise JourneyFailure(f"{what} opened the right-click menu while the tool was sending")

        click(*at, button=3)
        handled_before("Z", "the right-click")
        click_centre(close)
        handled_before("Y", "the click on Close")

        s.stop_tool()

        def menu_opens():
            click(*at, button=3)
            deadline = time.monotonic() + 2
            while time.monotonic() < deadline:
                if popup_drawn_at(*at):
                    return True
                time.sleep(0.1)
            return False
        wait_for("the right-click menu once the tool stopped and the hold ended", menu_opens)
        key("Escape")
        wait_for("the right-click menu closed by Escape", lambda: not popup_drawn_at(*at))
        click_centre(close)
        wait_for("the window closed by its close button", lambda: s.app.poll() is not None)


# --- by keyboard alone and by assistive technology ---------------------------

def has_focus(acc):
    return pyatspi.STATE_FOCUSED in states(acc)


def wait_focus(what, probe):
    """Waits until the object `probe` returns has the keyboard focus."""
    return wait_for(f"the keyboard focus on {what}",
                    lambda: (lambda a: a if a is not None and has_focus(a) else None)(probe()))


def named(s, role, name, root=None):
    """Probe for a showing object of `role` named `name` (None until it shows)."""
    def probe():
        hits = find_all(root or s.window, role=role, name=name)
        return hits[0] if hits else None
    return probe


def busy_data_view(s):
    """A QV220 in data mode sending without end, its lines in the data view
    and the window busy; returns the view."""
    data = os.path.join(s.work, "data.txt")
    with open(data, "w") as f:
        f.write("T=25 RPM 812 SPEED 0\n")
    s.start_tool("classic", "QV220", "--data-file", data, "--data-loop")
    choose(s, "QV220")
    wait_port_indicator(s, TOOL_FOUND)
    click_centre(control(s, pyatspi.ROLE_PUSH_BUTTON, "Data mode"))
    view = control(s, pyatspi.ROLE_TEXT, "Data view")
    wait_for("the tool's lines arriving in the data view", lambda: "RPM" in text_of(view))
    wait_for("the window busy while the tool sends", lambda: is_busy(s.window))
    return view


def press_action(acc):
    """Runs the object's "Press" action through AT-SPI, as a screen reader
    does; returns once the program handled the call."""
    try:
        actions = acc.queryAction()
    except NotImplementedError:
        raise JourneyFailure(f"\"{acc.name}\" offers no actions")
    for i in range(actions.nActions):
        if actions.getName(i) == "Press":
            actions.doAction(i)
            return
    raise JourneyFailure(f"\"{acc.name}\" offers no \"Press\" action")


def journey_keyboard_update(bin_dir, out_dir):
    """A whole QV120 update without one pointer event: Tab to Browse...,
    Space, the path typed into the open-file dialog, Tab to Update, Space,
    "Update done!", Alt+F4 closes the download dialog; the simulator's
    flash equals the image."""
    with Session(bin_dir, out_dir, tool=("classic", "QV120")) as s:
        path, image = classic_update_file(s.work, "QV120", 48 * 1024)
        wait_port_indicator(s, TOOL_FOUND)
        box = wait_focus("the .bin path box, the page's first control",
                         named(s, pyatspi.ROLE_TEXT, ".bin file"))
        key("Tab")
        wait_focus("Browse... (.bin)", named(s, pyatspi.ROLE_PUSH_BUTTON, "Browse... (.bin)"))
        key("space")
        dialog = wait_for("the open-file dialog", lambda: next(iter(s.top_level(name="Open")), None))
        wait_focus("the file name box of the open-file dialog",
                   named(s, pyatspi.ROLE_TEXT, "File name:", root=dialog))
        type_text(path)
        key("Return")
        wait_for("the open-file dialog closed", lambda: dialog not in s.top_level())
        wait_for(f"the .bin path box showing {path}", lambda: text_of(box) == path)
        update = control(s, pyatspi.ROLE_PUSH_BUTTON, "Update (.bin)")
        wait_enabled(s, update, "Update (.bin)")
        wait_focus("Browse... (.bin) again", named(s, pyatspi.ROLE_PUSH_BUTTON, "Browse... (.bin)"))
        key("Tab")
        wait_focus("Update (.bin)", named(s, pyatspi.ROLE_PUSH_BUTTON, "Update (.bin)"))
        # The focus ring on a filled button, kept to be looked at.
        s.screenshot(os.path.join(out_dir, "keys-update-focused.png"))
        key("space")
        download = wait_for("the download dialog", lambda: next(
            iter(s.top_level(name="Firmware update")), None))
        wait_for("\"Update done!\" in the download dialog's status line",
                 lambda: find_all(download, role=pyatspi.ROLE_LABEL, name="Update done!"),
                 timeout=60)
        wait_focus("the download dialog's button", named(s, pyatspi.ROLE_PUSH_BUTTON, "ok",
                                                         root=download))
        s.screenshot(os.path.join(out_dir, "keys-download-done.png"))
        key("alt+F4")
        wait_for("the download dialog closed by Alt+F4", lambda: download not in s.top_level())
        if s.app.poll() is not None:
            raise JourneyFailure("Alt+F4 on the download dialog ended the program")
        s.stop_tool()
        with open(s.flash_out, "rb") as f:
            flash = f.read()
        if flash != image:
            raise JourneyFailure(f"the simulated flash ({len(flash)} bytes) differs from the "
                                 f"image ({len(image)} bytes)")


def journey_catalogue_keys(bin_dir, out_dir):
    """Tab goes round the QV120 page in reading order, on to the title
    buttons and into the catalogue; Down moves to QV220 and Space shows
    the QV220 page, the keys staying in the catalogue."""
    with Session(bin_dir, out_dir) as s:
        wait_port_indicator(s, "No tool connected")
        order = [(pyatspi.ROLE_TEXT, ".bin file"), (pyatspi.ROLE_PUSH_BUTTON, "Browse... (.bin)"),
                 (pyatspi.ROLE_TEXT, ".zpk file"), (pyatspi.ROLE_PUSH_BUTTON, "Browse... (.zpk)"),
                 (pyatspi.ROLE_PUSH_BUTTON, "Minimise"), (pyatspi.ROLE_PUSH_BUTTON, "Close"),
                 (pyatspi.ROLE_PAGE_TAB, "QV120")]
        for i, (role, name) in enumerate(order):
            if i > 0:
                key("Tab")
            wait_focus(f"\"{name}\" (Tab stop {i + 1})", named(s, role, name))
        key("Down")
        wait_focus("the catalogue entry \"QV220\"", named(s, pyatspi.ROLE_PAGE_TAB, "QV220"))
        key("space")
        wait_for("\"QV220\" selected in the catalogue",
                 lambda: pyatspi.STATE_SELECTED in states(entry(s, "QV220")))
        control(s, pyatspi.ROLE_PUSH_BUTTON, "Data mode")
        wait_focus("the catalogue entry \"QV220\" still", named(s, pyatspi.ROLE_PAGE_TAB, "QV220"))

        # Choosing "Manuals" folds the QV family: the entry objects now stand
        # for other entries, and a screen reader that keeps names hears so.
        renamed = []
        listener = lambda event: renamed.append(event.source)  # noqa: E731
        pyatspi.Registry.registerEventListener(listener, "object:property-change:accessible-name")
        try:
            key("End")
            wait_focus("the catalogue entry \"Manuals\"", named(s, pyatspi.ROLE_PAGE_TAB, "Manuals"))
            key("space")

            def heard_new_names():
                GLib.MainContext.default().iteration(False)
                now = {e.name for e in find_all(s.window, role=pyatspi.ROLE_PAGE_TAB)}
                told = {e.name for e in renamed if e is not None}
                return "QV120" not in now and now <= told
            wait_for("a name change heard for every catalogue entry after the new layout",
                     heard_new_names)
        finally:
            pyatspi.Registry.deregisterEventListener(listener,
                                                     "object:property-change:accessible-name")


def journey_busy_refuses_at_press(bin_dir, out_dir):
    """While the QV220 page receives a capture (the window busy), an AT-SPI
    press on a catalogue entry or on Close does nothing; once the hold
    ended the same press changes the page."""
    with Session(bin_dir, out_dir) as s:
        view = busy_data_view(s)
        press_action(entry(s, "DTC lookup"))
        press_action(control(s, pyatspi.ROLE_PUSH_BUTTON, "Close"))
        if s.app.poll() is not None:
            raise JourneyFailure("the press on Close ended the program while it was busy")
        if pyatspi.STATE_SELECTED in states(entry(s, "DTC lookup")) or \
                pyatspi.STATE_SELECTED not in states(entry(s, "QV220")):
            raise JourneyFailure("the press on \"DTC lookup\" changed the page while busy")
        s.stop_tool()
        wait_for("the window no longer busy once the tool stopped", lambda: not is_busy(s.window))
        try:
            press_action(entry(s, "DTC lookup"))
            wait_for("\"DTC lookup\" selected by the press once the hold ended",
                     lambda: pyatspi.STATE_SELECTED in states(entry(s, "DTC lookup")))
        except Exception:
            # The press on Close is a click that lands 100 ms later, maybe
            # after the hold ended; the window refused it when it was made.
            if not is_showing(s.window):
                raise JourneyFailure("the press on Close made while busy closed the window "
                                     "once the hold ended")
            raise


JOURNEYS = [
    ("qv120-update", journey_qv120_update),
    ("dtc-lookup", journey_dtc_lookup),
    ("model-mismatch", journey_model_mismatch),
    ("manual-opens", journey_manual_opens),
    ("data-mode", journey_data_mode),
    ("busy-hold", journey_busy_hold),
    ("keyboard-update", journey_keyboard_update),
    ("catalogue-keys", journey_catalogue_keys),
    ("display-scales", journey_display_scales),
    ("busy-refuses-at-press", journey_busy_refuses_at_press),
]


def main(argv):
    bin_dir, out_dir = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    wanted = argv[3:]
    os.makedirs(out_dir, exist_ok=True)
    failed = []
    for name, journey in JOURNEYS:
        if wanted and name not in wanted:
            continue
        started = time.monotonic()
        shot = os.path.join(out_dir, f"gui-{name}.png")
        Session.failure_shot = shot
        try:
            journey(bin_dir, out_dir)
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)
        except Exception as e:
            what = str(e) if isinstance(e, JourneyFailure) else traceback.format_exc()
            print(f"FAIL {name}: {what}\n     screenshot: {shot}", flush=True)
            failed.append(name)
    if failed:
        print(f"{len(failed)} journey(s) failed: {', '.join(failed)}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
