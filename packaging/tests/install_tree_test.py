"""cmake --install as a packager and as a user run it: staged with DESTDIR under
the configured prefix, and straight into a prefix given on the command line,
twice (an update over an earlier install). Each tree must be complete, its
desktop entry must run the program in that tree's data folder, and the
catalogue tool must work through its installed link from an unrelated folder.

    install_tree_test.py --cmake CMAKE --build BUILD_DIR --prefix CONFIGURED_PREFIX"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

parser = argparse.ArgumentParser()
parser.add_argument("--cmake", required=True)
parser.add_argument("--build", required=True)
parser.add_argument("--prefix", required=True)
args = parser.parse_args()

LANGUAGE_PACKS = ("Deutsch", "English", "Español", "Français", "Italiano", "Русский")


def check(command, **options):
    result = subprocess.run(command, capture_output=True, text=True, **options)
    assert result.returncode == 0, f"{' '.join(command)} failed ({result.returncode}):\n{result.stdout}{result.stderr}"
    return result.stdout


def install(destdir=None, prefix=None):
    command = [args.cmake, "--install", args.build]
    if prefix:
        command += ["--prefix", prefix]
    environment = dict(os.environ)
    environment.pop("DESTDIR", None)
    if destdir:
        environment["DESTDIR"] = destdir
    check(command, env=environment)


def state(path):
    try:
        status = os.lstat(path)
        return (status.st_ino, status.st_mtime_ns)
    except FileNotFoundError:
        return None


def check_tree(files_root, prefix, elsewhere):
    """files_root: where the files of the prefix are; prefix: where they will run."""
    for path in ("bin/vantelo", "libexec/vantelo/vantelo", "libexec/vantelo/vantelo-catalogue",
                 "share/vantelo/icons.rcc"):
        assert os.path.isfile(os.path.join(files_root, path)), f"{path} was not installed"
    assert os.access(os.path.join(files_root, "bin/vantelo"), os.X_OK), "the launcher is not executable"
    # The links are relative, so they work in the staged tree as they will in place.
    assert os.path.isfile(os.path.join(files_root, "libexec/vantelo/icons.rcc")), "icons.rcc is not beside the program"
    for pack in LANGUAGE_PACKS:
        for name in ("Main.xml", "Channels.xml", "Flag.ico"):
            path = os.path.join(files_root, "share/vantelo/Languages", pack, name)
            assert os.path.isfile(path), f"{path} was not installed"
    assert os.path.isfile(os.path.join(files_root, "libexec/vantelo/Languages/English/Main.xml"))

    entry_path = os.path.join(files_root, "share/applications/vantelo.desktop")
    entry = dict(line.split("=", 1) for line in open(entry_path, encoding="utf-8").read().splitlines() if "=" in line)
    assert entry["Path"] == os.path.join(prefix, "share/vantelo"), f"Path={entry['Path']}, prefix {prefix}"
    check(["desktop-file-validate", entry_path])

    tool = os.path.join(files_root, "bin/vantelo-catalogue")
    assert os.path.islink(tool), "bin/vantelo-catalogue is not a link to the tool"
    listing = check([tool, "list"], cwd=elsewhere)
    assert len(listing.splitlines()) == 408, f"{len(listing.splitlines())} channels listed"
    playlist = check([tool, "m3u", "--language", "Deutsch"], cwd=elsewhere)
    assert 'group-title="Musik"' in playlist, "the German pack was not read"


def main():
    scratch = tempfile.mkdtemp(prefix="vantelo-install-")
    try:
        elsewhere = os.path.join(scratch, "elsewhere")
        os.makedirs(elsewhere)

        # What the install writes by code rather than by rule must honour
        # DESTDIR too: the real prefix stays as it was.
        written_by_code = [os.path.join(args.prefix, path) for path in (
            "share/applications/vantelo.desktop", "libexec/vantelo/icons.rcc", "libexec/vantelo/Languages",
            "bin/vantelo-catalogue")]
        before = [state(path) for path in written_by_code]
        staged = os.path.join(scratch, "staged")
        install(destdir=staged)
        check_tree(staged + args.prefix, args.prefix, elsewhere)
        assert [state(path) for path in written_by_code] == before, "the staged install wrote into the real prefix"

        direct = os.path.join(scratch, "direct")
        install(prefix=direct)
        install(prefix=direct)
        check_tree(direct, direct, elsewhere)
        assert os.listdir(elsewhere) == [], os.listdir(elsewhere)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("install tree test passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
