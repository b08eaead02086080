#!/usr/bin/env python3
"""Plays the benchmark disc with the engine and, where installed, with mpv and
VLC, headless and in a 720x576 window on a virtual X server, and prints side
by side: the time from launch to the first picture and to picture and sound
both running, CPU time per second of real-time playback with sound decoded,
and peak memory.

Every player is measured the same way: start-up from the arrival of its own
log lines, counted from the moment it was started; CPU and memory from the
kernel's accounting of the whole process (wait4), over a run of fixed length
without verbose logs.

usage: compare_players.py BUILD_DIR DISC SECONDS
"""

import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass
from typing import Callable

STARTUP_SECONDS = 2
# What the other players were measured at before, on a similar disc on this
# kind of machine.
QUOTED = ("measured before: VLC 3.6% / 7.1% in a window, 48 MB, first picture 0.08 s, moving "
          "with sound 0.67 s; mpv 4.7% / 16.5%, 73 MB, first picture 0.14 s")


@dataclass
class Player:
    name: str
    # Command for a mode ("headless" or "window"), quiet or with the log lines
    # that mark the start-up events.
    command: Callable
    # Log line fragments: the first picture, and every one needed before
    # picture and sound both run.
    first_picture: str
    running: list


@dataclass
class Usage:
    cpu_percent: float
    rss_mb: float  # peak while playing
    exit_rss_mb: float  # peak of the whole process, its exit included


class PeakWhilePlaying:
    """The process's peak resident memory (VmHWM) over the time it was asked
    to play, counted from its launch: read every 50 ms up to then. What a
    player touches afterwards, unloading its libraries at exit, is not
    playback."""

    def __init__(self, pid, seconds):
        self.path = f"/proc/{pid}/status"
        self.deadline = time.monotonic() + seconds
        self.kib = 0
        self.done = threading.Event()
        self.thread = threading.Thread(target=self._watch, daemon=True)
        self.thread.start()

    def _watch(self):
        while not self.done.wait(0.05) and time.monotonic() < self.deadline:
            try:
                with open(self.path, encoding="ascii") as status:
                    for line in status:
                        if line.startswith("VmHWM:"):
                            self.kib = int(line.split()[1])
            except (OSError, ValueError):
                pass

    def stop(self):
        self.done.set()
        self.thread.join()
        return self.kib


def spawn(command, env, output, seconds, watch=None):
    """Runs a command to its end; returns (exit ok, rusage, wall seconds, peak
    resident KiB over its first seconds). With watch, each output line is
    passed to it with its time since start."""
    start = time.monotonic()
    process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE if watch else output,
                               stderr=subprocess.STDOUT, text=bool(watch), errors="replace")
    peak = PeakWhilePlaying(process.pid, seconds)
    killer = threading.Timer(120, process.kill)
    killer.start()
    if watch:
        for line in process.stdout:
            watch(time.monotonic() - start, line)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - start
    killer.cancel()
    process.returncode = os.waitstatus_to_exitcode(status)
    return process.returncode == 0, usage, wall, peak.stop()


def measure_usage(player, mode, seconds, env, log_path):
    with open(log_path, "w", encoding="utf-8") as log:
        ok, usage, wall, peak_kib = spawn(player.command(mode, seconds, False), env, log,
                                          seconds)
    if not ok:
        return None
    return Usage(100 * (usage.ru_utime + usage.ru_stime) / wall, peak_kib / 1024,
                 usage.ru_maxrss / 1024)


def measure_startup(player, mode, env):
    """Seconds from launch to the first picture and to everything running."""
    seen = {}

    def watch(elapsed, line):
        for marker in [player.first_picture, *player.running]:
            if marker in line and marker not in seen:
                seen[marker] = elapsed

    ok, _, _, _ = spawn(player.command(mode, STARTUP_SECONDS, True), env, None, STARTUP_SECONDS,
                        watch)
    if not ok:
        return None, None
    picture = seen.get(player.first_picture)
    running = [seen.get(marker) for marker in player.running]
    return picture, None if None in running else max(running)


class VirtualScreen:
    """An X server of our own for the window runs, on a free display."""

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-ac",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.process.wait()
            sys.exit("compare_players: Xvfb did not start")
        self.display = ":" + number
        return self

    def __exit__(self, *_):
        self.process.terminate()
        self.process.wait()


def engine_player(build_dir, disc):
    program = os.path.join(build_dir, "bench", "engine_playback_bench")

    def command(mode, seconds, verbose):
        # Headless as the others' null video outputs: decoded, not painted.
        return ([program, disc, str(seconds)] + (["--events"] if verbose else []) +
                (["--headless"] if mode == "headless" else []))

    return Player("engine", command, "event: first picture",
                  ["event: picture moving", "event: sound running"])


def mpv_player(disc):
    def command(mode, seconds, verbose):
        args = ["mpv", "--no-config", "--ao=null", f"--length={seconds}",
                f"--dvd-device={disc}", "dvd://"]
        args += ["--vo=null"] if mode == "headless" else ["--geometry=720x576"]
        args += ["--msg-level=all=no,cplayer=v"] if verbose else ["--really-quiet"]
        return args

    return Player(version_of(["mpv", "--version"], "mpv"), command,
                  "first video frame after restart shown",
                  ["audio=playing, video=playing"])


def vlc_player(disc, work):
    prefix = []
    if os.geteuid() == 0:
        # VLC refuses to run as root: it runs as nobody, with a home of its own.
        home = os.path.join(work, "vlc-home")
        os.makedirs(home, exist_ok=True)
        shutil.chown(home, "nobody")
        os.chmod(work, 0o755)
        prefix = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env",
                  f"HOME={home}", f"XDG_RUNTIME_DIR={home}"]
    sound = os.path.join(work, "vlc-home" if prefix else "", "sound.wav")

    def command(mode, seconds, verbose):
        args = prefix + ["cvlc", "--play-and-exit", f"--run-time={seconds}", "--aout=afile",
                         f"--audiofile-file={sound}", f"dvd://{disc}"]
        args += ["--vout=dummy"] if mode == "headless" else ["--width=720", "--height=576"]
        args += ["-vv"] if verbose else ["--quiet"]
        return args

    return Player(version_of(prefix + ["cvlc", "--version"], "VLC"), command,
                  "Received first picture", ["Decoder wait done", "audio output debug: output '"])


def version_of(command, name):
    try:
        text = subprocess.run(command, capture_output=True, text=True, timeout=20).stdout
    except (OSError, subprocess.SubprocessError):
        return name
    for word in text.split():
        if word[:1].isdigit():
            return f"{name} {word}"
    return name


def players(build_dir, disc, work):
    found = [engine_player(build_dir, disc)]
    if shutil.which("mpv"):
        found.append(mpv_player(disc))
    if shutil.which("cvlc"):
        found.append(vlc_player(disc, work))
    return found


MODES = ("headless", "window")


def run_mode(mode, roster, seconds, env, work):
    results = {}
    for player in roster:
        startup = measure_startup(player, mode, env)
        usage = measure_usage(player, mode, seconds, env,
                              os.path.join(work, f"{player.name.split()[0]}-{mode}.log"))
        results[player.name] = (startup, usage)
    return results


def figures(result):
    """First picture, running, CPU %, memory MB: each None when not measured."""
    (picture, running), usage = result
    return [picture, running, usage.cpu_percent if usage else None,
            usage.rss_mb if usage else None]


def cells(values, formats):
    return "".join(("-" if value is None else form.format(value)).rjust(width)
                   for value, (form, width) in zip(values, formats))


FIGURE_FORMATS = [("{:.3f} s", 15), ("{:.3f} s", 10), ("{:.1f}%", 8), ("{:.1f} MiB", 11)]
RATIO_FORMATS = [("{:.2f}", 15), ("{:.2f}", 10), ("{:.2f}", 8), ("{:.2f}", 11)]


def print_table(roster, results, seconds):
    print(f"{'':26}{'headless':^44}  {'720x576 window (Xvfb)':^44}")
    print(f"{'':26}" + f"{'first picture':>15}{'running':>10}{'CPU':>8}{'memory':>11}  " * 2)
    for player in roster:
        row = f"  {player.name:24}"
        for mode in MODES:
            row += cells(figures(results[mode][player.name]), FIGURE_FORMATS) + "  "
        print(row)
    others = [player.name for player in roster[1:]]
    if others:
        row = f"  {'engine / best other':24}"
        for mode in MODES:
            ours = figures(results[mode]["engine"])
            theirs = [figures(results[mode][name]) for name in others]
            ratios = []
            for index, value in enumerate(ours):
                known = [other[index] for other in theirs if other[index]]
                ratios.append(value / min(known) if value is not None and known else None)
            row += cells(ratios, RATIO_FORMATS) + "  "
        print(row + "(below 1: the engine does better)")
    print(f"  start-up: seconds from launch; running: picture and sound both going; CPU: of one "
          f"core over {seconds} s of playback with sound decoded, whole process; memory: peak "
          "resident over the playing time; headless: no picture painted nor converted (null video outputs)")
    for mode in MODES:
        at_exit = [f"{player.name.split()[0]} {results[mode][player.name][1].exit_rss_mb:.1f}"
                   for player in roster if results[mode][player.name][1]]
        print(f"  peak resident {mode}, exit included (MiB): " + ", ".join(at_exit))
    print(f"  {QUOTED}")


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: compare_players.py BUILD_DIR DISC SECONDS")
    build_dir, disc, seconds = sys.argv[1], os.path.abspath(sys.argv[2]), int(sys.argv[3])
    work = tempfile.mkdtemp(prefix="vidora-bench-")
    try:
        roster = players(build_dir, disc, work)
        results = {"headless": run_mode("headless", roster, seconds,
                                        {**os.environ, "QT_QPA_PLATFORM": "offscreen"}, work)}
        with VirtualScreen() as screen:
            results["window"] = run_mode("window", roster, seconds,
                                         {**os.environ, "QT_QPA_PLATFORM": "xcb",
                                          "DISPLAY": screen.display}, work)
        print_table(roster, results, seconds)
        for mode in results:
            log = os.path.join(work, f"engine-{mode}.log")
            with open(log, encoding="utf-8", errors="replace") as text:
                for line in text:
                    if line.startswith("engine on"):
                        print("  " + line.rstrip())
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
