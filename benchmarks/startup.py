#!/usr/bin/env python3
"""Start-up, first-explore, idle-CPU and memory figures of the game (`make bench`).

    startup.py [BUILD_DIR] [--runs N] [--idle SECONDS] [--explores N] [--only startup,explore,idle]
               [--game OTHER_BINARY] [--screenshot IDLE.png]

1. Start to first frame: N alternating launches of the game and of `bare_window` (plain SDL2,
   one picture in a window of the same size), each with --exit-after-first-frame, headless
   (SDL's dummy video driver, the game with --headless) and in a window under Xvfb. Timed here
   from the spawn to the "FIRST_FRAME" line on the child's standard output, and to its exit.
2. One whole first explore through the script driver (title swipe, story, press, OK, 20
   returns, collection), wall time.
3. Idle CPU: the game in a window under Xvfb, on a data folder where a six-hour explore has
   just begun; the title is swiped away with xdotool, then the process's user + system time and
   the frames it draws (--print-frames) are sampled while it sits on the main screen.
Peak memory (max RSS) is each child's own, from wait4.

Xvfb is started on a free display when DISPLAY is unset and stopped at the end."""
import argparse
import glob
import json
import os
import plistlib
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


# ---------------------------------------------------------------- processes


class Child:
    """A child process whose own peak RSS and exit we collect with wait4."""

    def __init__(self, cmd, env, stdin=None):
        # Standard error goes to a file: a chatty child never blocks on a full pipe.
        self.errfile = tempfile.TemporaryFile("w+")
        self.spawned = time.monotonic()
        self.proc = subprocess.Popen(cmd, env=env, stdin=stdin, stdout=subprocess.PIPE, stderr=self.errfile,
                                     text=True, bufsize=1)
        self.maxrss_kb = 0
        self.status = None
        self.lifetime = None
        self.cpu = None

    def wait(self, timeout=60):
        if self.lifetime is not None:
            return self.lifetime
        deadline = time.monotonic() + timeout
        while True:
            pid, status, usage = os.wait4(self.proc.pid, os.WNOHANG)
            if pid:
                self.status = os.waitstatus_to_exitcode(status)
                self.proc.returncode = self.status
                self.maxrss_kb = usage.ru_maxrss
                self.cpu = usage.ru_utime + usage.ru_stime
                self.lifetime = time.monotonic() - self.spawned
                return self.lifetime
            if time.monotonic() > deadline:
                self.proc.kill()
                timeout = 5
                deadline = time.monotonic() + timeout
            time.sleep(0.002)

    def errors(self):
        self.errfile.seek(0)
        return self.errfile.read().strip()


def first_frame(cmd, env):
    """Spawn to the FIRST_FRAME line and spawn to exit, in seconds; the printed ms; peak RSS."""
    child = Child(cmd, env)
    printed = None
    seen = None
    for line in child.proc.stdout:
        if line.startswith("FIRST_FRAME"):
            seen = time.monotonic() - child.spawned
            printed = float(line.split()[1])
            break
    child.proc.stdout.read()
    total = child.wait()
    if seen is None or child.status != 0:
        raise RuntimeError("%s: no first frame (status %s): %s" % (os.path.basename(cmd[0]), child.status, child.errors()))
    return {"frame": seen, "exit": total, "printed": printed / 1000.0, "rss": child.maxrss_kb, "cpu": child.cpu}


# ---------------------------------------------------------------- X server


class XServer:
    def __init__(self):
        self.proc = None
        self.display = os.environ.get("DISPLAY")

    def __enter__(self):
        if self.display:
            return self
        for n in range(99, 120):
            if os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n):
                continue
            self.proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(100):
                if os.path.exists("/tmp/.X11-unix/X%d" % n):
                    self.display = ":%d" % n
                    return self
                if self.proc.poll() is not None:
                    break
                time.sleep(0.05)
            self.stop()
        raise RuntimeError("no X server: DISPLAY is unset and Xvfb did not start")

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(timeout=10)
        self.proc = None

    def __exit__(self, *exc):
        self.stop()


# ---------------------------------------------------------------- the script driver


sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "scripts"))
from driver import Game  # noqa: E402  (the scenario scripts' own driver)


class Driver(Game):
    """The game headless on a manual clock, one command at a time over --script -, as the
    scenario scripts drive it, with the process's own peak memory and lifetime measured."""

    def __init__(self, binary, data_dir, epoch, env):
        self.path, self.env = binary, env
        super().__init__(data_dir, epoch)

    def binary(self):
        return self.path

    def launch(self, command):
        self.child = Child(command, self.env, stdin=subprocess.PIPE)
        return self.child.proc

    def errors(self):
        return self.child.errors()

    def finish(self, terminate=False):
        if terminate:
            self.proc.stdin.write("terminate\n")
        self.proc.stdin.close()
        self.proc.stdout.read()
        self.child.wait()
        return self.child


def play_first_explore(game):
    """Title, story, the first explore and its collection, as a player goes through them."""
    game.through_title()
    game.through_story()
    game.start_explore()
    game.wait(42)
    game.collect_all()


def first_explore(binary, env):
    with tempfile.TemporaryDirectory() as data:
        game = Driver(binary, data, 1800000000, env)
        play_first_explore(game)
        child = game.finish()
        return {"wall": child.lifetime, "rss": child.maxrss_kb}


# ---------------------------------------------------------------- idle on the main screen


def prepare_long_explore(binary, data, env):
    """A first explore played and saved; then, moved to the last dungeon, its six-hour explore
    started a few seconds ago and saved."""
    now = int(time.time())
    game = Driver(binary, data, now - 900, env)
    play_first_explore(game)
    game.finish(terminate=True)
    path = os.path.join(data, "savedstate.plist")
    with open(path, "rb") as f:
        state = plistlib.load(f)
    state["current_dungeon_id"] = 10
    state["ratingPromptAnswered"] = True  # no rating question over the idle screen
    with open(path, "wb") as f:
        plistlib.dump(state, f, fmt=plistlib.FMT_BINARY)
    game = Driver(binary, data, now - 30, env)
    game.through_title()
    game.start_explore(walk=3)
    names = [v["name"] for v in game.views()]
    game.finish(terminate=True)
    with open(path, "rb") as f:
        state = plistlib.load(f)
    if state.get("current_dungeon_id") != 10 or not state.get("timestamp_start") or "exploreBtn" in names:
        raise RuntimeError("the long explore did not start: %r" % names)


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def xdotool(*args, env):
    return subprocess.run(["xdotool"] + [str(a) for a in args], env=env, capture_output=True, text=True, timeout=20)


def idle_cpu(binary, env, seconds, shot):
    with tempfile.TemporaryDirectory() as data:
        prepare_long_explore(binary, data, env)
        child = Child([binary, "--data-dir", data, "--print-frames"], env)
        frames = []  # (arrival, count)

        def read_frames():
            for line in child.proc.stdout:
                parts = line.split()
                if len(parts) == 3 and parts[0] == "FRAMES" and parts[2] != "end":
                    frames.append((time.monotonic(), int(parts[1])))

        reader = threading.Thread(target=read_frames, daemon=True)
        reader.start()
        window = None
        for _ in range(100):
            found = xdotool("search", "--name", "^Royal Expedition", env=env).stdout.split()
            if found:
                window = found[0]
                break
            time.sleep(0.1)
        if not window:
            child.proc.kill()
            child.wait()
            raise RuntimeError("the game's window did not appear: " + child.errors())
        time.sleep(3)  # the logo pops in, the five persons line up
        geometry = xdotool("getwindowgeometry", "--shell", window, env=env).stdout
        size = dict(line.split("=") for line in geometry.split() if "=" in line)
        width, height = int(size["WIDTH"]), int(size["HEIGHT"])
        scale = min(width / 320, height / 480)
        left, top = (width - 320 * scale) / 2, (height - 480 * scale) / 2

        def at(x, y):
            return ["mousemove", "--window", window, int(left + x * scale), int(top + y * scale)]

        swipe = at(40, 323) + ["mousedown", "1"]
        for step in range(1, 26):
            swipe += at(40 + 250 * step / 25, 323) + ["sleep", "0.02"]
        xdotool(*(swipe + ["mouseup", "1"]), env=env)
        time.sleep(8)  # the title fades; the main screen settles with the party away
        if shot:
            subprocess.run(["import", "-window", window, shot], env=env, capture_output=True, timeout=20)
        cpu0, t0 = cpu_seconds(child.proc.pid), time.monotonic()
        time.sleep(seconds)
        cpu1, t1 = cpu_seconds(child.proc.pid), time.monotonic()
        in_window = [(t, n) for (t, n) in frames if t0 <= t <= t1]
        child.proc.send_signal(signal.SIGTERM)
        child.wait(timeout=30)
        reader.join(timeout=5)
        fps = None
        if len(in_window) >= 2:
            fps = (in_window[-1][1] - in_window[0][1]) / (in_window[-1][0] - in_window[0][0])
        return {"cpu": 100.0 * (cpu1 - cpu0) / (t1 - t0), "fps": fps, "rss": child.maxrss_kb, "status": child.status}


# ---------------------------------------------------------------- report


def median(values):
    return statistics.median(values) if values else float("nan")


def startup(game, bare, picture, runs, env_headless, env_window):
    rows = []
    for label, env, game_cmd, bare_cmd in [
        ("headless", env_headless, [game, "--headless"], [bare]),
        ("window (Xvfb)", env_window, [game], [bare]),
    ]:
        results = {"game": [], "bare": []}
        with tempfile.TemporaryDirectory() as root:
            def launch(which, i):
                if which == "game":
                    data = os.path.join(root, "d%d" % i)
                    return first_frame(game_cmd + ["--data-dir", data, "--exit-after-first-frame"], env)
                return first_frame(bare_cmd + ["--exit-after-first-frame", picture], env)

            launch("game", -1)  # warm the file cache; not counted
            launch("bare", -1)
            for i in range(runs):
                order = ("game", "bare") if i % 2 == 0 else ("bare", "game")
                for which in order:
                    results[which].append(launch(which, i))
        rows.append((label, results))
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build", nargs="?", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build"))
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--explores", type=int, default=5)
    parser.add_argument("--idle", type=float, default=30.0)
    parser.add_argument("--only", default="startup,explore,idle")
    parser.add_argument("--screenshot", default="", help="a PNG of the idle main screen")
    parser.add_argument("--game", default="royal-expedition", help="another build of the game in the build folder, to compare")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    game = os.path.join(build, args.game)
    bare = os.path.join(build, "benchmarks", "bare_window")
    pictures = glob.glob(os.path.join(build, "resources", "**", "title_bg@2x.png"), recursive=True)
    for path in (game, bare):
        if not os.access(path, os.X_OK):
            sys.exit("startup.py: %s is not built" % path)
    if not pictures:
        sys.exit("startup.py: no title_bg@2x.png under %s/resources" % build)
    parts = set(args.only.split(","))

    base = dict(os.environ)
    base.pop("SDL_VIDEODRIVER", None)
    base["SDL_AUDIODRIVER"] = "dummy"
    env_headless = dict(base, SDL_VIDEODRIVER="dummy")
    env_headless.pop("DISPLAY", None)

    load_before = os.getloadavg()
    print("load average before: %.2f %.2f %.2f (%d cores)" % (load_before + (os.cpu_count(),)))
    with XServer() as x:
        env_window = dict(base, DISPLAY=x.display)
        if "startup" in parts:
            print("\nstart to first frame, median of %d alternating launches" % args.runs)
            print("  first frame: ms from spawn to the FIRST_FRAME line; from main: as the program printed it;")
            print("  exit, CPU (user + system, to exit) and peak RSS of the whole process")
            print("%-14s %-5s %9s %9s %9s %9s %9s" % ("", "", "1st frame", "from main", "exit", "CPU", "peak RSS"))
            for label, r in startup(game, bare, pictures[0], args.runs, env_headless, env_window):
                rows = {}
                for which in ("game", "bare"):
                    runs = r[which]
                    rows[which] = [median([x[k] for x in runs]) * 1000 for k in ("frame", "printed", "exit", "cpu")]
                    print("%-14s %-5s %9.1f %9.1f %9.1f %9.1f %7.1fMB" % (
                        label if which == "game" else "", which, *rows[which], max(x["rss"] for x in runs) / 1024))
                g, b = rows["game"], rows["bare"]
                print("%-14s %-5s %8.2fx %8.2fx %8.2fx %8.2fx" % ("", "ratio", g[0] / b[0], g[1] / b[1], g[2] / b[2], g[3] / b[3]))
        if "explore" in parts:
            runs = [first_explore(game, env_headless) for _ in range(args.explores)]
            print("\nfirst explore through the script driver (title, story, explore, 20 returns, collection)")
            print("  wall time median of %d: %.2f s (min %.2f, max %.2f); peak RSS %.1f MB" % (
                len(runs), median([r["wall"] for r in runs]), min(r["wall"] for r in runs),
                max(r["wall"] for r in runs), max(r["rss"] for r in runs) / 1024))
        if "idle" in parts:
            r = idle_cpu(game, env_window, args.idle, args.screenshot)
            fps = "%.2f frames/s" % r["fps"] if r["fps"] is not None else "frames not counted"
            print("\nidle on the main screen during a 6-hour explore, window under Xvfb, %.0f s" % args.idle)
            print("  CPU %.2f %% of one core; %s; peak RSS %.1f MB; exit status %s" % (r["cpu"], fps, r["rss"] / 1024, r["status"]))
            if r["fps"] is not None and r["fps"] > 5:
                print("  (the title's hint plays at 12 frames a second: was the title swiped away? see --screenshot)")
    print("\nload average after: %.2f %.2f %.2f" % os.getloadavg())


if __name__ == "__main__":
    main()
