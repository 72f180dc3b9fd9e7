"""The window on Windows: varnok.exe under Wine with Qt's Windows platform
on a virtual X display, a simulated tool behind COM5, driven only by X
input events (xdotool) at the places layout.py read off the native window.

Wine gives Linux no accessibility tree of a Windows program, so what the
window did is read from what it leaves: the tool's flash, the update
record (varnok-cli.exe history), the clipboard, and a screenshot kept in
the build folder.

    wine_journeys.py LAYOUT_JSON OUT_DIR JOURNEY...

Run by scripts/test-windows-gui, which sets up Wine (WINEPREFIX, the
server, COM5 in the registry, its link to $VARNOK_DEV_DIR/ttyACM0) and
names the programs: VARNOK_EXE, VARNOK_CLI_EXE (Windows), TOOLSIM (native).
Journeys: update, data, keys (the update by keyboard alone) on the
1024 x 768 screen; scaled (the window at 96, 144 and 192 dpi) on a screen
large enough for 200 %.
"""

import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

from journeykit import (JourneyFailure, classic_update_file, end_program, end_session, geometry,
                        screenshot, screenshot_of, stop_tool, wait_for, window_sized,
                        windows_named)
from scaling import check_drawn_for_scales

WINDOW_TITLE = "Dennart2"


def xdotool(*args, check=True):
    return subprocess.run(["xdotool", *[str(a) for a in args]], capture_output=True, text=True,
                          check=check).stdout


def wine_env(extra=None):
    """The environment of a Wine program: the pty shim preloaded
    ($VARNOK_WINE_PRELOAD, see scripts/windows-common.sh)."""
    return {**os.environ, "LD_PRELOAD": os.environ.get("VARNOK_WINE_PRELOAD", ""), **(extra or {})}


def click_at(origin, rect):
    """A left click at the centre of `rect` ([x, y, w, h] within `origin`)."""
    x = origin[0] + rect[0] + rect[2] // 2
    y = origin[1] + rect[1] + rect[3] // 2
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", 1)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class WineSession:
    """varnok.exe and one simulated tool; everything started is ended."""

    def __init__(self, layout, out_dir, name):
        self.layout = layout
        self.out_dir = out_dir
        self.name = name
        self.work = tempfile.mkdtemp(prefix="varnok-wine.")
        self.dev_dir = os.environ["VARNOK_DEV_DIR"]
        self.flash_out = os.path.join(self.work, "flash.bin")
        self.log = open(os.path.join(self.work, "varnok.log"), "w")
        self.sim = None
        self.app = None

    def start_tool(self, *args):
        ready = os.path.join(self.work, "ready")
        self.sim = subprocess.Popen(
            [os.environ["TOOLSIM"], "--port", "1", "--dev-dir", self.dev_dir, "--ready-file",
             ready, "--flash-out", self.flash_out, *args],
            stdout=subprocess.DEVNULL, stderr=self.log)
        wait_for("the simulated tool's line", lambda: os.path.exists(ready) and
                 os.path.getsize(ready) > 0, timeout=10)

    def start_window(self, env=None):
        self.app = subprocess.Popen(["wine", os.environ["VARNOK_EXE"]], cwd=self.work,
                                    env=wine_env(env),
                                    stdout=self.log, stderr=subprocess.STDOUT)
        window = wait_for(f"the main window \"{WINDOW_TITLE}\"",
                          lambda: next(iter(windows_named(WINDOW_TITLE)), None))
        self.origin = wait_for("the main window's place", lambda: geometry(window))
        if list(self.origin) != self.layout["window"]:
            raise JourneyFailure(f"the main window sits at {self.origin}, the native one at "
                                 f"{self.layout['window']}: the layout does not carry over")
        # The first paint of a new Wine window comes late; a click before it
        # can go to nothing.
        time.sleep(2)

    def click(self, control):
        click_at(self.origin, self.layout[control])

    def stop_tool(self):
        """Ends the simulator; its flash image is then in flash_out."""
        stop_tool(self.sim)
        self.sim = None

    def __enter__(self):
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            screenshot(os.path.join(self.out_dir, f"wine-{self.name}-failed.png"))
            print(f"     the program's output: {self.work}/varnok.log", flush=True)
        end_session(self.app, self.sim, self.log, self.work, exc_type is not None)
        self.sim = None
        return False


def visible_windows():
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ""],
                         capture_output=True, text=True).stdout
    return set(out.split())


def pick_file(session, control, path):
    """Clicks `control`, types `path` into the open-file dialog of Wine's
    common dialogs that comes up (a new window: without a window manager it
    shows no caption to find it by) and accepts it."""
    before = visible_windows()
    session.click(control)
    dialog = wait_for("the open-file dialog", lambda: next(iter(visible_windows() - before), None))
    time.sleep(1)  # its first paint; the file name box has the keyboard focus
    xdotool("type", "--delay", "20", windows_path(path))
    xdotool("key", "Return")
    wait_for("the open-file dialog closed", lambda: dialog not in visible_windows())


def last_record():
    out = subprocess.run(["wine", os.environ["VARNOK_CLI_EXE"], "--json", "history", "--last", "1"],
                         capture_output=True, text=True, env=wine_env()).stdout
    lines = [json.loads(l) for l in out.splitlines() if l.startswith("{")]
    records = [l for l in lines if "sha256" in l]
    return records[-1] if records else None


# --- the journeys ------------------------------------------------------------

def finished_update(session, image, shot):
    """Waits for the tool to end its update, checks its flash against
    `image` and keeps a screenshot of the finished download dialog."""
    wait_for("the tool to finish the update", lambda: session.sim.poll() is not None, timeout=120)
    with open(session.flash_out, "rb") as f:
        flash = f.read()
    if flash != image:
        raise JourneyFailure(f"the tool's flash ({len(flash)} bytes) differs from the image "
                             f"({len(image)} bytes)")
    time.sleep(2)  # the dialog's last status repaint
    screenshot(shot)


def journey_update(layout, out_dir):
    """QV120 (the first page): Browse..., the path typed into Wine's file
    dialog, Update; the tool's flash equals the image, the record says
    "done" for the file, ok closes the dialog. The screenshot of the
    finished dialog is kept: wine-update-done.png."""
    with WineSession(layout, out_dir, "update") as s:
        path, image = classic_update_file(s.work, "QV120", 48 * 1024)
        s.start_tool("--class", "classic", "--name", "QV120", "--exit-after-finish")
        s.start_window()
        pick_file(s, "Browse... (.bin)", path)

        # The Update button is enabled once the page found the tool and took
        # the path; until then a click does nothing, so click again. Without
        # a window manager Wine's windows show no caption to be found by:
        # the dialog is the window that was not there before.
        before = visible_windows()

        size = layout["dialog"][2:]

        def dialog_up():
            s.click("Update (.bin)")
            time.sleep(1.5)
            # Wine shows other new windows now and then (tooltips): the
            # dialog is the one of the dialog's size.
            return next((w for w in visible_windows() - before
                         if list(geometry(w)[2:]) == size), None)
        dialog = wait_for("the download dialog", dialog_up)
        finished_update(s, image, os.path.join(out_dir, "wine-update-done.png"))
        origin = geometry(dialog)

        def closed_by_ok():
            if dialog not in visible_windows():
                return True
            click_at(origin, layout["dialog ok"])
            time.sleep(1)
            return dialog not in visible_windows()
        wait_for("the download dialog closed by ok", closed_by_ok)
        digest = hashlib.sha256(open(path, "rb").read()).hexdigest()
        record = wait_for("the window's update record", lambda: (lambda r: r if r and
                          r.get("sha256") == digest else None)(last_record()), timeout=30)
        if record.get("result") != "done" or record.get("port_name") != "COM5":
            raise JourneyFailure(f"the update record says {record}")


def journey_keys(layout, out_dir):
    """The QV120 update without one pointer event: Tab to Browse..., Space,
    the path typed into Wine's file dialog, Tab to Update, Space; the tool's
    flash equals the image, Alt+F4 (handled by the program itself: there is
    no window manager) closes the download dialog and leaves the window.
    The screenshot before Alt+F4 is kept: wine-keys-done.png."""
    with WineSession(layout, out_dir, "keys") as s:
        path, image = classic_update_file(s.work, "QV120", 48 * 1024)
        s.start_tool("--class", "classic", "--name", "QV120", "--exit-after-finish")
        s.start_window()
        # The keyboard goes to the window with the X input focus; without a
        # window manager nothing gives it one.
        main = windows_named(WINDOW_TITLE)[0]
        xdotool("windowfocus", "--sync", main)
        # The page's first control, the .bin path box, has the focus.
        before = visible_windows()
        xdotool("key", "--delay", "40", "Tab", "space")
        dialog = wait_for("the open-file dialog opened by Space on Browse...",
                          lambda: next(iter(visible_windows() - before), None))
        time.sleep(1)  # its first paint; the file name box has the keyboard focus
        xdotool("type", "--delay", "20", windows_path(path))
        xdotool("key", "Return")
        wait_for("the open-file dialog closed", lambda: dialog not in visible_windows())
        # Update is enabled once the page found the tool and took the path
        # (Tab passes over it until then); the tool was found long before.
        time.sleep(2)
        xdotool("windowfocus", "--sync", main)
        before = visible_windows()
        size = layout["dialog"][2:]
        xdotool("key", "--delay", "40", "Tab", "space")
        download = wait_for("the download dialog opened by Space on Update", lambda: next(
            (w for w in visible_windows() - before if list(geometry(w)[2:]) == size), None))
        finished_update(s, image, os.path.join(out_dir, "wine-keys-done.png"))
        xdotool("windowfocus", "--sync", download)
        xdotool("key", "alt+F4")
        wait_for("the download dialog closed by Alt+F4", lambda: download not in visible_windows())
        if s.app.poll() is not None or not windows_named(WINDOW_TITLE):
            raise JourneyFailure("Alt+F4 on the download dialog ended the program")


def set_dpi(dpi):
    """Wine's screen resolution (what Windows' display scale sets), read by
    every program that starts afterwards."""
    for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
        subprocess.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                        str(dpi), "/f"], env=wine_env(), capture_output=True, check=True)


def journey_scaled(layout, out_dir):
    """varnok.exe at 96, 144 and 192 dpi (100, 150 and 200 %): the window
    takes 800 x 600 times the scale and its skin is drawn for it, checked
    as on Linux (tests/gui/scaling.py). Screenshots: wine-scale-DPI.png."""
    shots = {}
    work = tempfile.mkdtemp(prefix="varnok-wine-scale.")
    try:
        for dpi in (96, 144, 192):
            set_dpi(dpi)
            want = [800 * dpi // 96, 600 * dpi // 96]
            app = subprocess.Popen(["wine", os.environ["VARNOK_EXE"]], cwd=work, env=wine_env(),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                window = wait_for(f"the main window at {dpi} dpi, {want[0]} x {want[1]}",
                                  lambda: window_sized(WINDOW_TITLE, want))
                time.sleep(3)  # the first paint of a new Wine window comes late
                shots[dpi / 96] = os.path.join(out_dir, f"wine-scale-{dpi}.png")
                if not screenshot_of(geometry(window), shots[dpi / 96]):
                    raise JourneyFailure(f"no screenshot of the window at {dpi} dpi")
            finally:
                end_program(app)
        check_drawn_for_scales(shots, work)
    finally:
        set_dpi(96)
        shutil.rmtree(work, ignore_errors=True)


def expected_view_text(lines, chinese):
    """What the data view shows of the tool's lines (each ended CR LF)."""
    shown = []
    for raw in lines:
        try:
            shown.append(raw.decode("utf-8"))
            continue
        except UnicodeDecodeError:
            pass
        if chinese:
            shown.append(raw.replace(b"\xb0", b"\xa1\xa3").decode("gbk", "replace"))
        else:
            shown.append(raw.decode("cp1252", "replace"))
    return shown


def journey_data(layout, out_dir):
    """QV220 data mode through the port's monitor thread: the tool's lines,
    some in the Western code page and some in GBK, reach the view; Copy puts
    them on the clipboard (Wine hands it to X; read with xclip), decoded by
    the system's code page: GBK with the degree rule on a Chinese system
    (VARNOK_EXPECT_SYSTEM=zh_CN), Windows-1252 elsewhere. Edit hands the
    same text to Notepad."""
    chinese = os.environ.get("VARNOK_EXPECT_SYSTEM") == "zh_CN"
    lines = []
    for i in range(1, 21):
        lines.append(f"LINE {i:03d} RPM 812".encode())
        lines.append(b"T=25\xb0C \xd6\xd0\xce\xc4")
    with WineSession(layout, out_dir, "data") as s:
        data = os.path.join(s.work, "data.txt")
        with open(data, "wb") as f:
            f.write(b"\n".join(lines) + b"\n")
        s.start_tool("--class", "classic", "--name", "QV220", "--data-file", data,
                     "--data-baud", "0")
        s.start_window()
        s.click("entry QV220")
        time.sleep(1)
        s.click("Data mode")
        want = "\n".join(expected_view_text(lines, chinese))
        subprocess.run(["xclip", "-selection", "clipboard", "/dev/null"], check=False)

        def copied():
            s.click("Copy")  # held back while the lines come in: click again
            time.sleep(1)
            got = subprocess.run(["xclip", "-o", "-selection", "clipboard"],
                                 capture_output=True, timeout=10).stdout
            text = got.decode("utf-8", "replace").replace("\r\n", "\n").replace("\r", "\n")
            return text if text.rstrip("\n") == want else None
        try:
            wait_for(f"the tool's {len(lines)} lines on the clipboard after Copy", copied)
        except JourneyFailure:
            got = subprocess.run(["xclip", "-o", "-selection", "clipboard"],
                                 capture_output=True, timeout=10).stdout
            raise JourneyFailure(f"the clipboard holds {got[:120]!r}, not {want[:60]!r}...")
        screenshot(os.path.join(out_dir, f"wine-data-{'zh_CN' if chinese else 'western'}.png"))

        # Edit: Notepad opens with the view's whole text in its edit window;
        # read back through Notepad's own select-all and copy.
        subprocess.run(["xclip", "-selection", "clipboard", "/dev/null"], check=False)
        before = visible_windows()
        s.click("Edit in text editor")
        notepad = wait_for("Notepad's window", lambda: next(iter(visible_windows() - before), None))
        time.sleep(1)

        def in_notepad():
            xdotool("windowfocus", "--sync", notepad, check=False)
            xdotool("key", "--window", notepad, "ctrl+a", "ctrl+c", check=False)
            time.sleep(0.5)
            got = subprocess.run(["xclip", "-o", "-selection", "clipboard"],
                                 capture_output=True, timeout=10).stdout
            text = got.decode("utf-8", "replace").replace("\r\n", "\n")
            return text if text.rstrip("\n") == want else None
        wait_for("the view's text in Notepad", in_notepad, timeout=30)
        subprocess.run(["wine", "taskkill", "/f", "/im", "notepad.exe"], env=wine_env(),
                       capture_output=True)


JOURNEYS = {"update": journey_update, "data": journey_data, "keys": journey_keys,
            "scaled": journey_scaled}


def main(argv):
    with open(argv[1]) as f:
        layout = json.load(f)
    out_dir = os.path.abspath(argv[2])
    failed = []
    for name in argv[3:]:
        started = time.monotonic()
        try:
            JOURNEYS[name](layout, out_dir)
            print(f"PASS wine {name} ({time.monotonic() - started:.1f} s)", flush=True)
        except Exception as e:
            what = str(e) if isinstance(e, JourneyFailure) else traceback.format_exc()
            print(f"FAIL wine {name}: {what}\n     screenshot: {out_dir}/wine-{name}-failed.png",
                  flush=True)
            failed.append(name)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
