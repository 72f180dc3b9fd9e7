"""Drives the real varnok window the way a person does.

Input goes in only as X events (xdotool: pointer moves, clicks and typed
keys at screen positions); what the window shows is read back through the
accessibility tree (AT-SPI, pyatspi). Every check waits for a state with a
generous time-out and polls; no sleep is a proof of anything.

The caller runs this inside an X server ($DISPLAY) and a D-Bus session with
the accessibility bus (scripts/test-gui sets both up).
"""

import os
import subprocess
import tempfile
import time

import pyatspi

from journeykit import JourneyFailure, WAIT_S, end_session, screenshot, stop_tool, wait_for  # noqa: F401 (journeys import them from here)

# The screen scripts/test-gui gives the X server; the window (800 x 600,
# caption-less) is centred on it.
SCREEN_W, SCREEN_H = 1024, 768
WINDOW_W, WINDOW_H = 800, 600
WINDOW_X = (SCREEN_W - WINDOW_W) // 2
WINDOW_Y = (SCREEN_H - WINDOW_H) // 2

# Containers whose children are list rows; searches do not walk them.
_ROW_CONTAINERS = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST,
                   pyatspi.ROLE_TREE, pyatspi.ROLE_LIST_BOX}


# --- input -----------------------------------------------------------------

def _xdotool(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=True)


def pointer():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True,
                         text=True, check=True).stdout
    pos = dict(line.split("=", 1) for line in out.split())
    return int(pos["X"]), int(pos["Y"])


def click(x, y, button=1, repeat=1):
    # --sync waits for the pointer to arrive, which it never does when it
    # is there already.
    if pointer() != (x, y):
        _xdotool("mousemove", "--sync", x, y)
    _xdotool("click", "--repeat", repeat, "--delay", 80, button)


def click_centre(acc, button=1, repeat=1):
    x, y, w, h = extents(acc)
    click(x + w // 2, y + h // 2, button, repeat)


def type_text(text):
    _xdotool("type", "--delay", 40, text)


def key(*names):
    _xdotool("key", "--delay", 40, *names)


# --- the accessibility tree ------------------------------------------------

def extents(acc):
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def states(acc):
    try:
        return set(acc.getState().getStates())
    except Exception:  # the object went away
        return set()


def is_showing(acc):
    return pyatspi.STATE_SHOWING in states(acc)


def text_of(acc):
    """The text an object shows: its text interface, else its name."""
    try:
        t = acc.queryText()
        return t.getText(0, t.characterCount)
    except NotImplementedError:
        return acc.name or ""


def walk(root, descend_rows=False):
    stack = [root]
    while stack:
        acc = stack.pop()
        if acc is None:
            continue
        yield acc
        try:
            if not descend_rows and acc is not root and acc.getRole() in _ROW_CONTAINERS:
                continue
            n = acc.childCount
        except Exception:
            continue
        for i in reversed(range(n)):
            try:
                stack.append(acc.getChildAtIndex(i))
            except Exception:
                pass


def find_all(root, role=None, name=None, showing=True, pred=None):
    found = []
    for acc in walk(root):
        try:
            if role is not None and acc.getRole() != role:
                continue
            if name is not None and acc.name != name:
                continue
            if showing and not is_showing(acc):
                continue
            if pred is not None and not pred(acc):
                continue
        except Exception:
            continue
        found.append(acc)
    return found


def wait_for_one(root_fn, what, role=None, name=None, pred=None, timeout=None):
    def probe():
        hits = find_all(root_fn(), role=role, name=name, pred=pred)
        return hits[0] if hits else None
    return wait_for(what, probe, timeout)


# --- what only the screen shows ---------------------------------------------

def screen_pixels(x, y, w, h):
    """The screen's pixels in a rectangle, as rows of (r, g, b)."""
    out = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                          "-depth", "8", "txt:-"], capture_output=True, text=True, check=True).stdout
    rows = [[None] * w for _ in range(h)]
    for line in out.splitlines():
        if line.startswith("#"):
            continue
        pos, _, rest = line.partition(":")
        px, py = (int(v) for v in pos.split(","))
        colour = rest.split("(")[1].split(")")[0].split(",")[:3]
        rows[py][px] = tuple(int(float(c)) for c in colour)
    return rows


def popup_drawn_at(x, y, min_edge=100):
    """Whether a pop-up menu is drawn with its top-left corner at (x, y): Qt
    opens a context menu there, and its frame's top edge is a straight
    line of one colour at least `min_edge` pixels long, which no text or
    list row draws."""
    for row in screen_pixels(x - 2, y - 2, min_edge + 40, 6):
        run, last = 0, None
        for p in row:
            run = run + 1 if p == last and p != (255, 255, 255) else 1
            last = p
            if run >= min_edge:
                return True
    return False


# --- the program under test ----------------------------------------------

class Session:
    # Where a failing session leaves its screenshot (set per journey).
    failure_shot = None

    """One varnok with one simulated tool (or none) in a device folder of
    its own. Use as a context manager; everything started is ended."""

    def __init__(self, bin_dir, out_dir, tool=None, extra_env=None):
        self.bin_dir = bin_dir
        self.out_dir = out_dir
        self.work = tempfile.mkdtemp(prefix="varnok-gui.")
        self.dev_dir = os.path.join(self.work, "dev")
        os.mkdir(self.dev_dir)
        self.tool = tool
        self.extra_env = extra_env or {}
        self.sim = None
        self.app = None
        self.flash_out = os.path.join(self.work, "flash.bin")
        self.log = open(os.path.join(self.work, "varnok.log"), "w")

    def __enter__(self):
        if self.tool is not None:
            self.start_tool(*self.tool)
        env = dict(os.environ)
        env.update({"VARNOK_DEV_DIR": self.dev_dir, "TMPDIR": self.work,
                    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1"})
        env.pop("QT_QPA_PLATFORM", None)
        env.update(self.extra_env)
        self.app = subprocess.Popen([os.path.join(self.bin_dir, "varnok")], env=env,
                                    stdout=self.log, stderr=subprocess.STDOUT, cwd=self.work)
        self.window = wait_for("the main window \"Dennart2\" in the accessibility tree",
                               self._find_window, timeout=WAIT_S * 2)
        # Clicks go where the accessibility tree places the controls; the
        # window itself must sit where a person sees it: centred.
        where = (WINDOW_X, WINDOW_Y, WINDOW_W, WINDOW_H)
        wait_for(f"the main window at {where}, centred on the {SCREEN_W} x {SCREEN_H} screen",
                 lambda: extents(self.window) == where)
        return self

    def start_tool(self, sim_class, name, *more):
        ready = os.path.join(self.work, "ready")
        self.sim = subprocess.Popen(
            [os.path.join(self.bin_dir, "varnok-toolsim"), "--class", sim_class, "--name", name,
             "--dev-dir", self.dev_dir, "--ready-file", ready, "--flash-out", self.flash_out,
             *more],
            stdout=subprocess.DEVNULL, stderr=self.log)
        wait_for("the simulated tool's line", lambda: os.path.getsize(ready) > 0
                 if os.path.exists(ready) else False)

    def stop_tool(self):
        """Ends the simulator; its flash image is then in flash_out."""
        stop_tool(self.sim)
        self.sim = None

    def _application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == self.app.pid:
                    return app
            except Exception:
                continue
        return None

    def _find_window(self):
        app = self._application()
        if app is None:
            return None
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if w is not None and w.name == "Dennart2" and is_showing(w):
                return w
        return None

    def application(self):
        app = self._application()
        if app is None:
            raise JourneyFailure("the program left the accessibility tree (did it end?)")
        return app

    def top_level(self, name=None, role=None):
        """Showing top-level windows of the program (dialogs, message boxes)."""
        app = self.application()
        hits = []
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if w is None or not is_showing(w):
                continue
            if (name is None or w.name == name) and (role is None or w.getRole() == role):
                hits.append(w)
        return hits

    def screenshot(self, path):
        screenshot(path)

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            if Session.failure_shot:
                self.screenshot(Session.failure_shot)
            print(f"     the program's output and the session's files: {self.work}", flush=True)
        end_session(self.app, self.sim, self.log, self.work, exc_type is not None)
        self.sim = None
        return False
