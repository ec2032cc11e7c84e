"""Smoke test of the real program under Xvfb: it starts, shows both windows,
plays a local stream chosen in the channel window, shows a real picture, and
on the window manager's close request saves Settings.xml and Favorites.xml.

Screenshots of the run are kept in --screenshots (main.png, channels.png)."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

from Xlib import X, Xatom, display, protocol

parser = argparse.ArgumentParser()
parser.add_argument("--program", required=True)
parser.add_argument("--streams", required=True)
parser.add_argument("--server", required=True)
parser.add_argument("--screenshots", required=True)
args = parser.parse_args()

SCREEN = (1280, 800)
MAIN = (298, 161, 550, 471)      # the first-start places of the two windows
CHANNELS = (10, 10, 219, 484)


def free_display_number():
    for number in range(90, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{number}") and not os.path.exists(f"/tmp/.X{number}-lock"):
            return number
    raise RuntimeError("no free X display number")


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")


def find_window(x_display, title_start):
    def walk(window):
        try:
            name = window.get_wm_name() or ""
            if name.startswith(title_start) and window.get_attributes().map_state == X.IsViewable:
                return window
            for child in window.query_tree().children:
                found = walk(child)
                if found:
                    return found
        except Exception:  # a window that went away while we looked
            return None
        return None
    return walk(x_display.screen().root)


def pixels(x_display, x, y, width, height):
    image = x_display.screen().root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
    data = image.data
    return [(data[i + 2], data[i + 1], data[i]) for i in range(0, len(data), 4)]


def distinct_colours(x_display, rect):
    x, y, width, height = rect
    return len(set(pixels(x_display, x, y, width, height)))


def screenshot(display_name, path, rect):
    x, y, width, height = rect
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "x11grab", "-video_size", f"{width}x{height}",
                    "-i", f"{display_name}+{x},{y}", "-frames:v", "1", path], check=True)


def click(display_name, x, y, repeat=1):
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "--repeat", str(repeat),
                    "--delay", "80", "1"], env=dict(os.environ, DISPLAY=display_name), check=True)


def keys(display_name, *names):
    subprocess.run(["xdotool", "key", "--delay", "60", *names], env=dict(os.environ, DISPLAY=display_name),
                   check=True)


def send_close_request(x_display, window):
    """What a window manager sends when the user clicks the close box."""
    wm_protocols = x_display.intern_atom("WM_PROTOCOLS")
    wm_delete = x_display.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=wm_protocols,
                                         data=(32, [wm_delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event)
    x_display.flush()


def main():
    number = free_display_number()
    display_name = f":{number}"
    config = tempfile.mkdtemp(prefix="vantelo-smoke-")
    os.makedirs(args.screenshots, exist_ok=True)
    processes = []
    try:
        processes.append(subprocess.Popen(["Xvfb", display_name, "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                                           "-nolisten", "tcp"], stderr=subprocess.DEVNULL))
        wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{number}"), 10, "Xvfb")
        server = subprocess.Popen([sys.executable, args.server, "--root", args.streams, "--port", "18080"],
                                  stdout=subprocess.PIPE, text=True)
        processes.append(server)
        assert server.stdout.readline().startswith("READY"), "stream server did not start"

        environment = dict(os.environ, DISPLAY=display_name, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb",
                           LANG="de_DE.UTF-8", LC_ALL="")
        program = subprocess.Popen([args.program], cwd=os.path.dirname(args.program), env=environment)
        processes.append(program)

        x_display = display.Display(display_name)
        main_window = wait_for(lambda: find_window(x_display, "Vantelo"), 30, "the main window")
        channels = wait_for(lambda: find_window(x_display, "Channels"), 30, "the channel window")
        time.sleep(1)

        # Choose Music (the fifth node), open it, select its first channel, play.
        cx, cy = CHANNELS[0], CHANNELS[1]
        click(display_name, cx + 60, cy + 25 + 8)
        keys(display_name, "Home", "Down", "Down", "Down", "Down", "Right", "Down")
        click(display_name, cx + CHANNELS[2] - 8, cy + CHANNELS[3] - 17)

        wait_for(lambda: (main_window.get_wm_name() or "").startswith("Vantelo - "), 10, "the channel's title")
        picture = (MAIN[0] + 20, MAIN[1] + 40, MAIN[2] - 40, MAIN[3] - 120)
        wait_for(lambda: distinct_colours(x_display, picture) > 50, 30, "a moving picture in the main window")
        time.sleep(1)
        screenshot(display_name, os.path.join(args.screenshots, "main.png"), MAIN)
        screenshot(display_name, os.path.join(args.screenshots, "channels.png"), CHANNELS)
        screenshot(display_name, os.path.join(args.screenshots, "desktop.png"), (0, 0, 860, 660))
        print("title:", main_window.get_wm_name())

        send_close_request(x_display, main_window)
        status = program.wait(timeout=20)
        assert status == 0, f"the program ended with status {status}"
        for name in ("Settings.xml", "Favorites.xml"):
            path = os.path.join(config, "Vantelo", name)
            assert os.path.exists(path), f"{name} was not written"
            ElementTree.parse(path)
        settings = ElementTree.parse(os.path.join(config, "Vantelo", "Settings.xml")).getroot()
        position = settings.find("MainWindowPos").attrib
        assert (int(position["posx"]), int(position["posy"])) == MAIN[:2], position
        print("smoke test passed")
        return 0
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.kill()
                process.wait()
        shutil.rmtree(config, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
