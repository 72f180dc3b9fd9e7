"""The window on scaled screens: the same varnok at every display scale a
laptop ships with, on an X server of its own large enough for 3x, with the
screenshots kept in the build folder (gui-scale-RATIO.png) for a person to
look at.

Two checks, both on what the screen shows:
  - drawn for the scale: at 2x at least 2 % of the window's pixels differ
    from the 1x window doubled pixel for pixel (an enlarged 1x skin differs
    in far fewer: only where Qt's own widgets draw);
  - nothing moved, resized or recoloured: every scale, shrunk back to
    800 x 600 and compared in 10 x 10 pixel cells, matches the 1x window
    within a margin that anti-aliased text stays inside and a shifted or
    recoloured control does not.
"""

import os
import subprocess
import tempfile
import time

from journeykit import (JourneyFailure, end_program, geometry, screenshot_of, wait_for,
                        window_sized)

SCALES = ["1", "1.25", "1.5", "1.75", "2", "2.5", "3"]
SCREEN = (3072, 2304)
WINDOW = (800, 600)
# At least this share of the 2x window's pixels must differ from 1x doubled.
MIN_DRAWN_SHARE = 0.02
# No 10 x 10 cell of a scale, brought back to 1x, may differ from the 1x
# window by more than this share of the full colour range (measured: at most
# 0.10 at 1.25, where widget edges fall inside screen pixels; the skin drawn
# 3 window pixels low gives 0.35). A faint control moved by a few pixels
# stays inside it; this catches a surface or bitmap placed or sized wrongly.
MAX_CELL_DIFFERENCE = 0.16


def _run(*args, env=None):
    return subprocess.run([str(a) for a in args], env=env, capture_output=True, text=True)


def _magick(*args):
    out = _run(*args)
    # compare exits 1 when the images differ; its figure is on stderr.
    if out.returncode > 1:
        raise JourneyFailure(f"{args[0]} failed: {out.stderr.strip()}")
    return out.stderr.strip()


def _figure(text):
    """compare's figure: 'N' or 'N (normalised)'; the normalised one if any."""
    if "(" in text:
        return float(text.split("(")[1].rstrip(")"))
    return float(text.split()[0])


class _Display:
    """An X server of its own at SCREEN, for windows larger than the
    journeys' 1024 x 768 screen."""

    def __enter__(self):
        read_fd, write_fd = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise JourneyFailure("the large X server did not start")
        self.display = f":{number}"
        return self

    def __exit__(self, *exc):
        end_program(self.server)
        return False


def _window_at(bin_dir, env, scale, path, work):
    """Starts varnok at `scale`, moves the focus to the first Browse button
    (so the focus ring is in the picture and no caret blinks), waits until
    two screenshots in a row agree and keeps the last at `path`."""
    env = dict(env, QT_SCALE_FACTOR=scale)
    log = open(os.path.join(work, f"varnok-{scale}.log"), "w")
    app = subprocess.Popen([os.path.join(bin_dir, "varnok")], env=env, cwd=work,
                           stdout=log, stderr=subprocess.STDOUT)
    try:
        want = (round(WINDOW[0] * float(scale)), round(WINDOW[1] * float(scale)))
        window = wait_for(f"the window at scale {scale}, {want[0]} x {want[1]} pixels",
                          lambda: window_sized("Dennart2", want, env))
        area = geometry(window, env)
        _run("xdotool", "key", "--delay", 40, "Tab", env=env)
        previous = os.path.join(work, "previous.png")

        def settled():
            if not screenshot_of(area, path, env):
                return False
            same = os.path.exists(previous) and \
                _figure(_magick("compare", "-metric", "AE", previous, path, "null:")) == 0
            if not same:
                os.replace(path, previous)
            return same
        wait_for(f"the window at scale {scale} drawn and still", settled)
        if app.poll() is not None:
            raise JourneyFailure(f"varnok ended at scale {scale}")
    finally:
        end_program(app)
        log.close()


def journey_display_scales(bin_dir, out_dir):
    with tempfile.TemporaryDirectory(prefix="varnok-scale.") as work, _Display() as x:
        dev = os.path.join(work, "dev")
        os.mkdir(dev)
        env = dict(os.environ, DISPLAY=x.display, VARNOK_DEV_DIR=dev, TMPDIR=work)
        env.pop("QT_QPA_PLATFORM", None)
        shots = {}
        for scale in SCALES:
            shots[scale] = os.path.join(out_dir, f"gui-scale-{scale}.png")
            _window_at(bin_dir, env, scale, shots[scale], work)

        check_drawn_for_scales({float(k): v for k, v in shots.items()}, work)


def check_drawn_for_scales(shots, work):
    """The two checks above on window screenshots {ratio: PNG path}, one of
    them at ratio 1 and one at 2."""
    doubled = os.path.join(work, "doubled.png")
    _magick("convert", shots[1.0], "-sample", "200%", doubled)
    differing = _figure(_magick("compare", "-metric", "AE", doubled, shots[2.0], "null:"))
    share = differing / (WINDOW[0] * WINDOW[1] * 4)
    if share < MIN_DRAWN_SHARE:
        raise JourneyFailure(f"at scale 2 only {share:.2%} of the pixels differ from the 1x "
                             f"window doubled (at least {MIN_DRAWN_SHARE:.0%}): the skin "
                             "is enlarged, not drawn for the scale")

    cells = (WINDOW[0] // 10, WINDOW[1] // 10)
    reference = os.path.join(work, "cells-1.png")
    _magick("convert", shots[1.0], "-filter", "Box", "-resize", f"{cells[0]}x{cells[1]}!",
            reference)
    for ratio, shot in sorted(shots.items()):
        if ratio == 1.0:
            continue
        small = os.path.join(work, f"cells-{ratio}.png")
        _magick("convert", shot, "-filter", "Box", "-resize", f"{cells[0]}x{cells[1]}!", small)
        worst = _figure(_magick("compare", "-metric", "PAE", reference, small, "null:"))
        if worst > MAX_CELL_DIFFERENCE:
            raise JourneyFailure(
                f"at scale {ratio:g} a part of the window differs from the 1x window by "
                f"{worst:.0%} (at most {MAX_CELL_DIFFERENCE:.0%}): something moved, "
                f"changed size or colour (see {shot})")
