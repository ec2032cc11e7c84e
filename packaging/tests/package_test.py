"""The Debian package as a user gets it: its control data, then installed with
dpkg, the programs started from an unrelated folder through the installed
launchers, the player shown on a virtual X display and closed the way a window
manager closes it, and the package removed again.

    package_test.py --deb FILE.deb [--extract-only]

The package is installed for real when we are root and no vantelo package is
installed yet (a CI machine); otherwise it is unpacked with dpkg -x into a
scratch root, which the launchers support as they find their folders relative
to themselves. Either way the programs run from the files of the package."""
import argparse
import fcntl
import os
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

from Xlib import X, display, protocol

parser = argparse.ArgumentParser()
parser.add_argument("--deb", required=True)
parser.add_argument("--extract-only", action="store_true",
                    help="unpack into a scratch root even when a real install is possible")
args = parser.parse_args()

PACKAGE = "vantelo"
LANGUAGE_PACKS = ("Deutsch", "English", "Español", "Français", "Italiano", "Русский")
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


def check(command, **options):
    result = run(command, **options)
    assert result.returncode == 0, f"{' '.join(command)} failed ({result.returncode}):\n{result.stdout}{result.stderr}"
    return result.stdout


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")


def package_installed():
    result = run(["dpkg-query", "-W", "-f=${Status}", PACKAGE])
    return result.returncode == 0 and "installed" in result.stdout.split()[-1:]


def dpkg(*arguments):
    """dpkg, waiting while someone else (apt in another shell) holds its lock."""
    deadline = time.monotonic() + 120
    while True:
        result = run(["dpkg", *arguments])
        if result.returncode == 0 or "lock" not in result.stderr or time.monotonic() > deadline:
            return result
        time.sleep(1)


# --- what the package says about itself ---------------------------------------------------

def check_control():
    fields = {}
    for line in check(["dpkg-deb", "-f", args.deb]).splitlines():
        if line and not line[0].isspace() and ":" in line:
            name, value = line.split(":", 1)
            fields[name] = value.strip()
    assert fields.get("Package") == PACKAGE, fields
    assert fields.get("Section") == "video", fields
    assert fields.get("Maintainer"), "the package has no maintainer"
    depends = {entry.split()[0] for entry in fields.get("Depends", "").replace("|", ",").split(",") if entry.strip()}
    # From dpkg-shlibdeps (the libraries linked) and by hand (the Wayland
    # platform plugin, which nothing links).
    for needed in ("libc6", "libmpv2", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6openglwidgets6",
                   "libqt6svg6", "libtinyxml2.6.2v5", "qt6-wayland"):
        assert needed in depends, f"Depends lacks {needed}: {fields.get('Depends')}"


def check_files(root):
    usr = os.path.join(root, "usr")
    for path in ("bin/vantelo", "bin/vantelo-catalogue", "libexec/vantelo/vantelo", "libexec/vantelo/vantelo-catalogue"):
        assert os.access(os.path.join(usr, path), os.X_OK), f"/usr/{path} is missing or not executable"
    # The program looks for icons.rcc, and the tool for Languages, beside their
    # executables: the links there must lead to the data.
    assert os.path.isfile(os.path.join(usr, "libexec/vantelo/icons.rcc")), "libexec/vantelo/icons.rcc leads nowhere"
    for pack in LANGUAGE_PACKS:
        for name in ("Main.xml", "Channels.xml", "Flag.ico"):
            path = os.path.join(usr, "libexec/vantelo/Languages", pack, name)
            assert os.path.isfile(path), f"{path} is missing"
    for size in ICON_SIZES:
        path = os.path.join(usr, f"share/icons/hicolor/{size}x{size}/apps/vantelo.png")
        with open(path, "rb") as png:
            header = png.read(24)
        assert header[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is no PNG"
        width, height = int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")
        assert (width, height) == (size, size), f"{path} is {width}x{height}"
    assert os.path.isfile(os.path.join(usr, "share/icons/hicolor/scalable/apps/vantelo.svg"))
    assert os.path.isfile(os.path.join(usr, "share/doc/vantelo/copyright"))


def check_desktop_entry(root, installed):
    entry_path = os.path.join(root, "usr/share/applications/vantelo.desktop")
    entry = dict(line.split("=", 1) for line in open(entry_path, encoding="utf-8").read().splitlines() if "=" in line)
    # Path is written when installing: the package's own folder, not the
    # staging folder the package was built in.
    assert entry["Path"] == "/usr/share/vantelo", entry["Path"]
    assert entry["Exec"].split()[0] == "vantelo", entry["Exec"]
    if installed:
        assert os.path.isdir(entry["Path"] + "/Languages"), entry["Path"]
        assert shutil.which("vantelo") == "/usr/bin/vantelo", shutil.which("vantelo")
    check(["desktop-file-validate", entry_path])
    metainfo = os.path.join(root, "usr/share/metainfo/org.vantelo.Vantelo.metainfo.xml")
    check(["appstreamcli", "validate", "--no-net", metainfo])


# --- the programs, started from elsewhere ---------------------------------------------------

def check_catalogue_tool(tool, elsewhere):
    listing = check([tool, "list"], cwd=elsewhere)
    assert len(listing.splitlines()) == 408, f"{len(listing.splitlines())} channels listed"
    # A group title that only the German pack has shows that the installed packs were read.
    playlist = check([tool, "m3u", "--language", "Deutsch"], cwd=elsewhere)
    assert 'group-title="Musik"' in playlist, playlist[:400]


def free_display_number():
    for number in range(150, 250):
        if not os.path.exists(f"/tmp/.X11-unix/X{number}") and not os.path.exists(f"/tmp/.X{number}-lock"):
            return number
    raise RuntimeError("no free X display number")


def find_window(x_display, title):
    def walk(window):
        try:
            if (window.get_wm_name() or "") == title and window.get_attributes().map_state == X.IsViewable:
                return window
            for child in window.query_tree().children:
                found = walk(child)
                if found:
                    return found
        except Exception:  # a window that went away while we looked
            return None
        return None
    return walk(x_display.screen().root)


def send_close_request(x_display, window):
    """What a window manager sends when the user clicks the close box."""
    wm_protocols = x_display.intern_atom("WM_PROTOCOLS")
    wm_delete = x_display.intern_atom("WM_DELETE_WINDOW")
    window.send_event(protocol.event.ClientMessage(window=window, client_type=wm_protocols,
                                                   data=(32, [wm_delete, X.CurrentTime, 0, 0, 0])))
    x_display.flush()


def tree(folder):
    return sorted(os.path.relpath(os.path.join(parent, name), folder)
                  for parent, folders, files in os.walk(folder) for name in folders + files)


def check_player(launcher, elsewhere, scratch):
    # Users cannot write into the data folder the program runs in; as root the
    # test could, so it checks that nothing was.
    data_before = tree(os.path.join(os.path.dirname(launcher), "../share/vantelo"))
    config = os.path.join(scratch, "config")
    runtime = os.path.join(scratch, "runtime")
    os.makedirs(runtime, mode=0o700)
    number = free_display_number()
    display_name = f":{number}"
    processes = []
    try:
        processes.append(subprocess.Popen(["Xvfb", display_name, "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                                          stderr=subprocess.DEVNULL))
        wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{number}"), 10, "Xvfb")
        # No QT_QPA_PLATFORM, and a WAYLAND_DISPLAY whose socket does not exist,
        # as after a compositor went away: the program asks for Wayland first and
        # must come up on X11.
        environment = {key: value for key, value in os.environ.items()
                       if not key.startswith("QT_") and key != "WAYLAND_DISPLAY"}
        environment.update(DISPLAY=display_name, XDG_CONFIG_HOME=config, XDG_RUNTIME_DIR=runtime,
                           WAYLAND_DISPLAY="wayland-vantelo-test-none", LANG="C.UTF-8", LC_ALL="")
        program = subprocess.Popen([launcher], cwd=elsewhere, env=environment)
        processes.append(program)

        x_display = display.Display(display_name)
        main_window = wait_for(lambda: find_window(x_display, "Vantelo"), 30, "the main window")
        wait_for(lambda: find_window(x_display, "Channels"), 30, "the channel window")
        assert program.poll() is None, f"the program ended with status {program.returncode}"
        # The launcher has replaced itself with the program, in the data folder.
        data_folder = os.path.realpath(os.path.join(os.path.dirname(launcher), "../share/vantelo"))
        assert os.readlink(f"/proc/{program.pid}/cwd") == data_folder, os.readlink(f"/proc/{program.pid}/cwd")
        maps = open(f"/proc/{program.pid}/maps").read()
        assert "icons.rcc" in maps, "the program did not load the channel icons"

        send_close_request(x_display, main_window)
        status = program.wait(timeout=20)
        assert status == 0, f"the program ended with status {status}"
        settings = os.path.join(config, "Vantelo", "Settings.xml")
        assert os.path.isfile(settings), "Settings.xml was not written"
        assert ElementTree.parse(settings).getroot().tag == "Settings"
        assert tree(os.path.join(os.path.dirname(launcher), "../share/vantelo")) == data_before, \
            "the program wrote into its data folder"
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.kill()
                process.wait()


def main():
    check_control()
    scratch = tempfile.mkdtemp(prefix="vantelo-package-")
    elsewhere = os.path.join(scratch, "elsewhere")
    os.makedirs(elsewhere)
    installed_here = False
    removal_failed = False
    # Test runs from other build folders on this machine install the same
    # package: one at a time, so that none removes it under another's feet.
    lock = open("/tmp/vantelo-package-test.lock", "w")
    try:
        if not args.extract_only and os.geteuid() == 0:
            fcntl.flock(lock, fcntl.LOCK_EX)
        if not args.extract_only and os.geteuid() == 0 and not package_installed():
            installed_here = True
            result = dpkg("-i", args.deb)
            assert result.returncode == 0, f"dpkg -i failed:\n{result.stdout}{result.stderr}"
            root = "/"
            print("installed with dpkg -i")
        else:
            root = os.path.join(scratch, "root")
            check(["dpkg-deb", "-x", args.deb, root])
            print(f"unpacked into {root}")
        usr_bin = os.path.join(root, "usr/bin")

        check_files(root)
        check_desktop_entry(root, installed_here)
        check_catalogue_tool(os.path.join(usr_bin, "vantelo-catalogue"), elsewhere)
        check_player(os.path.join(usr_bin, "vantelo"), elsewhere, scratch)
        assert os.listdir(elsewhere) == [], f"the programs wrote into the folder they were started from: {os.listdir(elsewhere)}"
    finally:
        if installed_here:
            result = dpkg("-r", PACKAGE)
            print(result.stdout + result.stderr)
            if result.returncode != 0 or package_installed():
                print("dpkg -r failed", file=sys.stderr)
                removal_failed = True
            elif os.path.exists("/usr/libexec/vantelo") or os.path.exists("/usr/share/vantelo"):
                print("removing the package left files behind", file=sys.stderr)
                removal_failed = True
        shutil.rmtree(scratch, ignore_errors=True)
        lock.close()
    if removal_failed:
        return 1
    print("package test passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
