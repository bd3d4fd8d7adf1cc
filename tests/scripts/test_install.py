#!/usr/bin/env python3
"""The installed game. `cmake --install` into a temporary DESTDIR lays out the program, its resources, the desktop entry,
the icons, the AppStream file and the manual page. The installed program, started from there with HOME and the XDG
folders in a temporary home, plays the first explore from its own resources and writes nothing but its data folder, by
default $XDG_DATA_HOME/royal-expedition. Its --help lists every option on one line, as the manual page does; --version
is the build's; a wrong option is one line and status 2. Under an X server its window carries the desktop entry's class
and name."""
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from driver import Game, check, folders

APP_ID = "com.example.royalexpedition"
source, build = folders()


def snapshot(root):
    """Every file below root with its size and modification time."""
    found = {}
    for folder, _, files in os.walk(root):
        for name in files:
            path = os.path.join(folder, name)
            st = os.lstat(path)
            found[os.path.relpath(path, root)] = (st.st_size, st.st_mtime_ns)
    return found


def written(before, after):
    return sorted(p for p, v in after.items() if before.get(p) != v)


def project_version():
    return re.search(r"project\(RoyalExpedition VERSION ([0-9.]+)", open(os.path.join(source, "CMakeLists.txt")).read()).group(1)


def roff_text(lines):
    """The words of roff lines as a reader sees them: macros, fonts and escapes gone."""
    words = []
    for line in lines:
        line = re.sub(r'^\.(B|I|BI|IR|RB|BR|RI)\s+', "", line).replace('"', "")
        words.append(re.sub(r"\\f[BIRP]", "", line).replace("\\-", "-"))
    return " ".join(" ".join(words).split())


def man_options(page):
    """--option -> (placeholder or None, text) of the manual page's OPTIONS."""
    section = page.split(".SH OPTIONS")[1].split(".SH ")[0]
    options = {}
    for block in section.split(".TP\n")[1:]:
        lines = block.split("\n.PP")[0].strip().split("\n")
        head = roff_text(lines[:1]).split(" ", 1)
        options[head[0]] = (head[1] if len(head) > 1 else None, roff_text(lines[1:]))
    return options


def help_options(text):
    options = {}
    for line in text.splitlines():
        if line.startswith("  --"):
            m = re.match(r"  (--\S+)(?: (\S+))?\s{2,}(.+)$", line)
            check(m and m.group(1) not in options, "one line for each option: %r" % line)
            options[m.group(1)] = (m.group(2), m.group(3))
    return options


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n", path + " is a PNG")
    return struct.unpack(">II", head[16:24])


with tempfile.TemporaryDirectory() as tmp:
    dest, home, work, temp = (os.path.join(tmp, n) for n in ("dest", "home", "work", "tmp"))
    for folder in (home, work, temp):
        os.mkdir(folder)
    install = subprocess.run(["cmake", "--install", build, "--prefix", "/usr"], env=dict(os.environ, DESTDIR=dest),
                             capture_output=True, text=True, timeout=300)
    check(install.returncode == 0, "cmake --install: " + install.stderr)
    usr = os.path.join(dest, "usr")
    binary, share = os.path.join(usr, "bin", "royal-expedition"), os.path.join(usr, "share")
    for path in ("royal-expedition/layouts/Main.json", "royal-expedition/strings/ja.lproj/Localizable.strings",
                 "royal-expedition/images/title_bg@2x.png", "royal-expedition/fonts/GD-DOTFONT-DQ-TTF.ttf",
                 "applications/%s.desktop" % APP_ID, "metainfo/%s.metainfo.xml" % APP_ID, "man/man6/royal-expedition.6.gz",
                 "doc/royal-expedition/copyright"):
        check(os.path.isfile(os.path.join(share, path)), "installed: " + path)
    check(os.listdir(os.path.join(share, "royal-expedition", "sounds")), "the sounds are installed")
    for size in (16, 24, 32, 48, 64, 128, 256, 512):
        icon = os.path.join(share, "icons", "hicolor", "%dx%d" % (size, size), "apps", APP_ID + ".png")
        check(png_size(icon) == (size, size), "the %d-pixel icon" % size)

    # Nothing of the user's or of the build may reach the installed game.
    env = {k: v for k, v in os.environ.items() if not k.startswith(("RE_", "XDG_"))}
    env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, ".local", "share"), XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_CACHE_HOME=os.path.join(home, ".cache"), XDG_STATE_HOME=os.path.join(home, ".local", "state"),
               TMPDIR=temp, SDL_AUDIODRIVER="dummy")
    data = os.path.join(home, ".local", "share", "royal-expedition")
    before = snapshot(tmp)

    def run(*args, status=0):
        r = subprocess.run([binary, *args], env=env, cwd=work, capture_output=True, text=True, timeout=120)
        check(r.returncode == status, "%r: status %d: %s" % (args, r.returncode, r.stderr))
        return r

    # The command line, which writes nothing.
    version = project_version()
    check(run("--version").stdout == "royal-expedition %s\nstore id royal-expedition\n" % version, "--version is the project's, with the store id")
    listed = help_options(run("--help").stdout)
    check({"--help", "--version", "--headless", "--script", "--data-dir", "--seed"} <= set(listed), "--help: %r" % listed)
    with gzip.open(os.path.join(share, "man", "man6", "royal-expedition.6.gz"), "rt") as f:
        page = f.read()
    check(man_options(page) == listed, "the manual page says what --help says:\n%r\n%r" % (man_options(page), listed))
    check('"Royal Expedition %s"' % version in page and "XDG_DATA_HOME" in page, "the manual page's version and files")
    wrong = run("--fly", status=2)
    check(wrong.stdout == "" and wrong.stderr.count("\n") == 1 and "--fly" in wrong.stderr, "one line: %r" % wrong.stderr)
    check(written(before, snapshot(tmp)) == [], "the command line alone writes nothing")

    # A headless start without a data folder plays in a scratch folder of its own: the player's
    # saves in the XDG data home are never touched, and nothing is left behind.
    run("--headless", "--time", "1")
    left = written(before, snapshot(tmp))
    check(not os.path.exists(data) and left == [], "a headless run leaves the data home alone: %r" % left)

    class Installed(Game):
        def binary(self):
            return binary

        def launch(self, command):
            return subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                    bufsize=1, env=env, cwd=work)

    game = Installed(data)
    game.through_title()
    game.through_story()
    game.start_explore(walk=2)
    game.wait(40)
    game.collect_all()
    check(game.state().get("gold", 0) > 0, "the first explore earned gold")
    game.proc.stdin.write("terminate\n")  # saves and ends the run
    game.finish()
    check(os.path.isfile(os.path.join(data, "savedstate.plist")), "saved in the data folder")
    outside = [p for p in written(before, snapshot(tmp)) if not p.startswith(os.path.relpath(data, tmp) + os.sep)]
    check(outside == [], "written outside the data folder: %r" % outside)

    # The window: its class and title are the desktop entry's StartupWMClass and Name.
    entry = open(os.path.join(share, "applications", APP_ID + ".desktop")).read()
    check("StartupWMClass=%s\n" % APP_ID in entry and "\nName=Royal Expedition\n" in entry, "the desktop entry names the window")
    if shutil.which("Xvfb") and shutil.which("xdotool"):
        sys.path.insert(0, os.path.join(os.path.abspath(source), "benchmarks"))
        from startup import XServer
        with XServer() as x:
            asan = os.environ.get("ASAN_OPTIONS", "")
            window_env = dict(env, DISPLAY=x.display, ASAN_OPTIONS=(asan + ":" if asan else "") + "detect_leaks=0")
            proc = subprocess.Popen([binary, "--data-dir", os.path.join(tmp, "window")], env=window_env, cwd=work,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                names = []
                for _ in range(100):
                    found = subprocess.run(["xdotool", "search", "--classname", "^%s$" % re.escape(APP_ID)], env=window_env,
                                           capture_output=True, text=True)
                    ids = found.stdout.split()
                    names = [subprocess.run(["xdotool", "getwindowname", i], env=window_env, capture_output=True,
                                            text=True).stdout.strip() for i in ids]
                    if "Royal Expedition" in names:
                        break
                    time.sleep(0.2)
                check("Royal Expedition" in names, "a window of class %s named Royal Expedition: %r" % (APP_ID, names))
            finally:
                proc.terminate()
                proc.wait(timeout=30)
    else:
        print("no Xvfb or xdotool: the window's class is not checked")
