"""What the journeys on Linux and under Wine share: the update files they
give the window, the end of the programs they start, screenshots."""

import os
import shutil
import signal
import subprocess


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
