#!/usr/bin/env python3
"""Start-up, first-explore, idle-CPU, frame-time and memory figures of the game (`make bench`).

    startup.py [BUILD_DIR] [--runs N] [--idle SECONDS] [--explores N] [--soak SECONDS]
               [--only startup,explore,idle,hidden,stage,return,collect,hour,soak]
               [--game OTHER_BINARY] [--screenshot IDLE.png]

1. Start to first frame: N alternating launches of the game and of `bare_window` (plain SDL2,
   one picture in a window of the same size), each with --exit-after-first-frame, headless
   (SDL's dummy video driver, the game with --headless) and in a window under Xvfb. Timed here
   from the spawn to the "FIRST_FRAME" line on the child's standard output, and to its exit.
2. One whole first explore through the script driver (title swipe, story, press, OK, 20
   returns, collection), wall time.
3. Idle CPU: the game in a window under Xvfb, on a data folder where a six-hour explore has
   just begun; the title is swiped away with xdotool, then the process's user + system time and
   the frames it draws (--print-frames) are sampled while it sits on the main screen; "hidden":
   the same with the window unmapped (xdotool windowunmap), as when it is minimised.
4. A full stage waiting: thirty persons back from the meadow (dungeon 1), each holding what it
   found and bobbing, no input; "return": the same party's explore of the meadow started just
   before, measured while the persons come back one by one; "collect": the full stage collected
   with swipes over it, the slowest frame and the 99th percentile of the frame times
   (--print-frames) while it goes.
5. "hour": the main screen during a six-hour explore through the script driver, an hour of game
   time on the manual clock (`wait`): resident memory after the first minute and after the hour.
   "soak": the same screen in a window for --soak real seconds (600 for the full figure),
   resident memory after one minute and at the end.
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


def rss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


class WindowRun:
    """The game in a window under Xvfb on `data`, driven with xdotool, its frames counted."""

    def __init__(self, binary, data, env):
        self.child = Child([binary, "--data-dir", data, "--print-frames"], env)
        self.env = env
        self.frames = []  # (arrival, count, slowest ms, 99th percentile ms)
        self.reader = threading.Thread(target=self.read_frames, daemon=True)
        self.reader.start()
        self.window = None
        for _ in range(100):
            found = xdotool("search", "--name", "^Royal Expedition", env=env).stdout.split()
            if found:
                self.window = found[0]
                break
            time.sleep(0.1)
        if not self.window:
            self.child.proc.kill()
            self.child.wait()
            raise RuntimeError("the game's window did not appear: " + self.child.errors())
        time.sleep(3)  # the logo pops in, the five persons line up
        geometry = xdotool("getwindowgeometry", "--shell", self.window, env=env).stdout
        size = dict(line.split("=") for line in geometry.split() if "=" in line)
        width, height = int(size["WIDTH"]), int(size["HEIGHT"])
        self.scale = min(width / 320, height / 480)
        self.left, self.top = (width - 320 * self.scale) / 2, (height - 480 * self.scale) / 2

    def read_frames(self):
        for line in self.child.proc.stdout:
            parts = line.split()
            if len(parts) == 5 and parts[0] == "FRAMES":
                self.frames.append((time.monotonic(), int(parts[1]), float(parts[3]), float(parts[4])))
            elif len(parts) == 3 and parts[0] == "FRAMES" and parts[2] != "end":  # an older build: no frame times
                self.frames.append((time.monotonic(), int(parts[1]), None, None))

    def at(self, x, y):
        return ["mousemove", "--window", self.window, int(self.left + x * self.scale), int(self.top + y * self.scale)]

    def swipe(self, x1, y1, x2, y2, steps=25):
        moves = self.at(x1, y1) + ["mousedown", "1"]
        for step in range(1, steps + 1):
            moves += self.at(x1 + (x2 - x1) * step / steps, y1 + (y2 - y1) * step / steps) + ["sleep", "0.02"]
        xdotool(*(moves + ["mouseup", "1"]), env=self.env)

    def through_title(self):
        self.swipe(40, 323, 290, 323)
        time.sleep(8)  # the title fades; the main screen settles

    def measure(self, seconds):
        """CPU share (% of a core), frames a second, slowest and 99th-percentile frame (ms) over `seconds`."""
        cpu0, t0 = cpu_seconds(self.child.proc.pid), time.monotonic()
        time.sleep(seconds)
        cpu1, t1 = cpu_seconds(self.child.proc.pid), time.monotonic()
        return self.figures(cpu0, t0, cpu1, t1)

    def figures(self, cpu0, t0, cpu1, t1):
        # A FRAMES line covers the 5 s before it: the lines that arrived after t0 + 5 cover the span.
        inside = [f for f in self.frames if t0 <= f[0] <= t1 + 0.5]
        fps = None
        if len(inside) >= 2:
            fps = (inside[-1][1] - inside[0][1]) / (inside[-1][0] - inside[0][0])
        later = [f for f in inside if f[0] >= t0 + 4.5] or inside
        return {"cpu": 100.0 * (cpu1 - cpu0) / (t1 - t0), "fps": fps,
                "slowest": max((f[2] for f in later if f[2] is not None), default=None),
                "p99": max((f[3] for f in later if f[3] is not None), default=None)}

    def close(self):
        self.child.proc.send_signal(signal.SIGTERM)
        self.child.wait(timeout=30)
        self.reader.join(timeout=5)
        return self.child


def idle_cpu(binary, env, seconds, shot, hidden=False):
    with tempfile.TemporaryDirectory() as data:
        prepare_long_explore(binary, data, env)
        run = WindowRun(binary, data, env)
        run.through_title()
        if shot:
            subprocess.run(["import", "-window", run.window, shot], env=env, capture_output=True, timeout=20)
        if hidden:
            xdotool("windowunmap", run.window, env=env)
            time.sleep(2)
        r = run.measure(seconds)
        child = run.close()
        return dict(r, rss=child.maxrss_kb, status=child.status)


MEADOW = 1


def prepare_party(binary, data, env, returned):
    """A party of thirty in the meadow, its explore started and saved; with `returned` every
    person is already back (the explore began long enough ago), else it began a few seconds ago."""
    now = int(time.time())
    quiet = {"tutorialShown": True, "firstMainDone": True, "waitTutorialShown": True, "swipeTutorialShown": True,
             "exploreTutorial2Shown": True, "ratingPromptAnswered": True, "current_dungeon_id": MEADOW}
    quiet.update({"member_%d" % m: {"member_id": m} for m in range(1, 11)})
    os.makedirs(data, exist_ok=True)
    with open(os.path.join(data, "savedstate.plist"), "wb") as f:
        plistlib.dump(quiet, f, fmt=plistlib.FMT_BINARY)
    game = Driver(binary, data, now - (3600 if returned else 5), env)
    game.through_title()
    game.start_explore(walk=3)
    game.finish(terminate=True)


def party_cpu(binary, env, seconds, returned, collect=False, shot=""):
    with tempfile.TemporaryDirectory() as data:
        prepare_party(binary, data, env, returned)
        run = WindowRun(binary, data, env)
        run.through_title()
        if returned:
            time.sleep(12)  # the last persons walk in and stand with what they found
        if shot:
            subprocess.run(["import", "-window", run.window, shot], env=env, capture_output=True, timeout=20)
        if not collect:
            r = run.measure(seconds)
        else:
            cpu0, t0 = cpu_seconds(run.child.proc.pid), time.monotonic()
            for y in range(150, 420, 30):  # zig-zag over the whole stage
                run.swipe(20, y, 300, y + 15, steps=20)
            time.sleep(max(0.0, seconds - (time.monotonic() - t0)))
            r = run.figures(cpu0, t0, cpu_seconds(run.child.proc.pid), time.monotonic())
        child = run.close()
        return dict(r, rss=child.maxrss_kb, status=child.status)


def hour_memory(binary, env):
    """Resident memory of the driven game on the main screen during a six-hour explore, after one
    minute and after one hour of game time."""
    with tempfile.TemporaryDirectory() as data:
        prepare_long_explore(binary, data, env)
        game = Driver(binary, data, int(time.time()), env)
        game.through_title()
        game.wait(60 - 8)
        minute = rss_mb(game.proc.pid)
        for _ in range(59):
            game.wait(60)
        hour = rss_mb(game.proc.pid)
        game.finish(terminate=True)
        return minute, hour


def soak_memory(binary, env, seconds):
    with tempfile.TemporaryDirectory() as data:
        prepare_long_explore(binary, data, env)
        run = WindowRun(binary, data, env)
        run.through_title()
        time.sleep(max(0.0, 60 - 11))
        minute = rss_mb(run.child.proc.pid)
        cpu0, t0 = cpu_seconds(run.child.proc.pid), time.monotonic()
        time.sleep(max(0.0, seconds - 60))
        end = rss_mb(run.child.proc.pid)
        r = run.figures(cpu0, t0, cpu_seconds(run.child.proc.pid), time.monotonic())
        run.close()
        return minute, end, r


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
    parser.add_argument("--soak", type=float, default=120.0, help="real seconds in a window for the memory soak")
    parser.add_argument("--only", default="startup,explore,idle,hidden,stage,return,collect,hour,soak")
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
        def window_line(label, r, seconds):
            fps = "%.2f frames/s" % r["fps"] if r["fps"] is not None else "frames not counted"
            frames = ""
            if r.get("p99") is not None:
                frames = "; frames: 99th percentile %.1f ms, slowest %.1f ms" % (r["p99"], r["slowest"])
            print("\n%s, window under Xvfb, %.0f s (load %.2f)" % (label, seconds, os.getloadavg()[0]))
            print("  CPU %.2f %% of one core; %s%s; peak RSS %.1f MB; exit status %s" % (
                r["cpu"], fps, frames, r["rss"] / 1024, r["status"]))

        if "idle" in parts:
            r = idle_cpu(game, env_window, args.idle, args.screenshot)
            window_line("idle on the main screen during a 6-hour explore", r, args.idle)
            if r["fps"] is not None and r["fps"] > 5:
                print("  (the title's hint plays at 12 frames a second: was the title swiped away? see --screenshot)")
        if "hidden" in parts:
            window_line("the same, the window hidden", idle_cpu(game, env_window, args.idle, "", hidden=True), args.idle)
        if "stage" in parts:
            window_line("a full stage waiting: 30 persons holding what they found, no input",
                        party_cpu(game, env_window, args.idle, returned=True,
                                  shot=args.screenshot.replace(".png", "-stage.png") if args.screenshot else ""), args.idle)
        if "return" in parts:
            window_line("30 persons coming back from the meadow (dungeon 1)", party_cpu(game, env_window, 30, returned=False), 30)
        if "collect" in parts:
            window_line("a full stage collected with swipes", party_cpu(game, env_window, 15, returned=True, collect=True), 15)
        if "hour" in parts:
            minute, hour = hour_memory(game, env_headless)
            print("\nmain screen during a 6-hour explore, script driver, manual clock")
            print("  resident memory after 1 minute %.1f MB, after 1 hour %.1f MB (%+.1f MB)" % (minute, hour, hour - minute))
        if "soak" in parts:
            minute, end, r = soak_memory(game, env_window, args.soak)
            print("\nmain screen during a 6-hour explore, window under Xvfb, %.0f real seconds" % args.soak)
            print("  resident memory after 1 minute %.1f MB, at the end %.1f MB (%+.1f MB); CPU %.2f %% of one core" % (
                minute, end, end - minute, r["cpu"]))
    print("\nload average after: %.2f %.2f %.2f" % os.getloadavg())


if __name__ == "__main__":
    main()
