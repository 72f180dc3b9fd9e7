"""What the journeys on Linux and under Wine share: the update files they
give the window, the end of the programs they start, screenshots."""

import os
import shutil
import signal
import subprocess
import time

# How long a state may take to show on a slow, loaded machine.
WAIT_S = float(os.environ.get("VARNOK_GUI_WAIT", "60"))
POLL_S = 0.05
# VARNOK_GUI_TRACE=1 prints every state seen and how long it took.
TRACE = os.environ.get("VARNOK_GUI_TRACE") == "1"


class JourneyFailure(Exception):
    """What a journey expected to see and did not."""


def wait_for(what, probe, timeout=None):
    """Polls `probe` until it returns a true value, which is returned;
    raises JourneyFailure naming `what` when the time runs out."""
    started = time.monotonic()
    deadline = started + (timeout or WAIT_S)
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                if TRACE:
                    print(f"  seen after {time.monotonic() - started:5.2f} s: {what}", flush=True)
                return value
        except Exception as e:  # objects come and go while the window changes
            last_error = e
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise JourneyFailure(f"not seen within {timeout or WAIT_S:.0f} s: {what}{detail}")
        time.sleep(POLL_S)


def windows_named(title, env=None):
    """Visible X windows whose name is exactly `title` (on env's DISPLAY)."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                         capture_output=True, text=True, env=env).stdout
    return out.split()


def geometry(window, env=None):
    """(x, y, width, height) of an X window on the screen."""
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                         capture_output=True, text=True, check=True, env=env).stdout
    g = dict(line.split("=", 1) for line in out.split())
    return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])


def window_sized(title, size, env=None):
    """The visible window named `title` of `size` (width, height), or None."""
    return next((w for w in windows_named(title, env) if list(geometry(w, env)[2:]) == list(size)),
                None)


def screenshot_of(area, path, env=None):
    """The screen's `area` (x, y, width, height) into the PNG file `path`;
    whether it was written."""
    x, y, w, h = area
    out = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                          path], capture_output=True, env=env)
    return out.returncode == 0 and os.path.exists(path)


def classic_update_file(folder, model, size):
    """A classic tool's .bin file: the complemented model name (5 bytes),
    then the image. Returns (file path, image bytes)."""
    image = os.urandom(size)
    name = model.encode("ascii").ljust(5, b"\0")
    path = os.path.join(folder, f"{model}-image.bin")
    with open(path, "wb") as f:
        f.write(bytes(255 - b for b in name) + image)
    return path, image


def end_program(process):
    """Ends a started program: politely, then for good after 10 s."""
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def screenshot(path):
    """The whole X screen into the PNG file `path`."""
    subprocess.run(["import", "-window", "root", path], check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop_tool(sim):
    """Ends a simulated tool (its flash image is written as it goes)."""
    if sim is not None and sim.poll() is None:
        sim.send_signal(signal.SIGTERM)
        sim.wait(timeout=60)


def end_session(app, sim, log, work, failed):
    """Ends what a journey started; a failed journey keeps its files."""
    end_program(app)
    stop_tool(sim)
    log.close()
    if not failed:
        shutil.rmtree(work, ignore_errors=True)
