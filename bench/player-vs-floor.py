#!/usr/bin/env python3
"""Plays a lesson in scenova-player and its video in the plain GStreamer
pipeline that also converts every frame for display (the floor), in pairs
(the player, then the floor), several times, and prints the medians side by
side: CPU seconds, the median of the pairs' ratios, the player's first video
frame after its start, and the peak resident memory of both. A pair runs
under nearly the same background load, so the ratio of each pair is steadier
than the ratio of the medians on a busy machine.

    bench/player-vs-floor.py [--seconds 60] [--runs 5] [--player PATH] LESSON

LESSON is a lesson folder; for the 720p H.264 figures make one with
examples/make-market-720p.sh. Both run offscreen (QT_QPA_PLATFORM=offscreen)
and without a sound device, as the tests do.
"""

import argparse
import os
import re
import resource
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def video_of(lesson: Path) -> Path:
    """The lesson's video: the script's VIDEO line, in its video folder."""
    for line in (lesson / "script.txt").read_text(encoding="utf-8").splitlines():
        if line.upper().startswith("VIDEO "):
            return lesson / "video" / line.split(" ", 1)[1].strip()
    sys.exit(f"player-vs-floor: {lesson}/script.txt names no video")


def run(command, seconds=None, env=None):
    """Runs a command to its end (or for that many seconds, then interrupts
    it as Ctrl+C would); returns its output and CPU seconds."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               env=env, text=True, start_new_session=True)
    if seconds is not None:
        time.sleep(seconds)
        os.killpg(process.pid, signal.SIGINT)
    output, _ = process.communicate()
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return output, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("lesson", type=Path)
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--runs", type=int, default=5, help="pairs, at least 5")
    parser.add_argument("--player", type=Path, default=ROOT / "build/default/scenova-player")
    args = parser.parse_args()
    if args.runs < 5:
        parser.error("--runs: at least 5 pairs")
    video = video_of(args.lesson)
    if shutil.which("gst-launch-1.0") is None:
        sys.exit("player-vs-floor: the floor needs gst-launch-1.0 (Debian: gstreamer1.0-tools)")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as actions:
        actions.write(f"press frmRose btnVideoPlay\nadvance {args.seconds}\n")
    player = [str(args.player), str(args.lesson), "--actions", actions.name,
              "--quit-after", str(args.seconds), "--stats"]
    floor = ["gst-launch-1.0", "-q", "playbin", f"uri={video.resolve().as_uri()}",
             "video-sink=videoconvert ! video/x-raw,format=BGRx ! fakesink sync=true",
             "audio-sink=fakesink sync=true"]

    # Peak memory: what the player prints, and GNU time's for the floor.
    figures = {"player": [], "floor": [], "frame": [], "player_mib": [], "floor_mib": [],
               "ratio": []}
    for _ in range(args.runs):
        output, cpu = run(player, env=env)
        figures["player"].append(cpu)
        frame = re.search(r"first video frame: (\d+) ms", output)
        figures["frame"].append(int(frame.group(1)) if frame else float("nan"))
        peak = re.search(r"peak (\d+) MiB", output)
        figures["player_mib"].append(int(peak.group(1)) if peak else float("nan"))
        output, cpu = run(["/usr/bin/time", "-f", "peak-kib %M"] + floor,
                             seconds=args.seconds, env=env)
        figures["floor"].append(cpu)
        peak = re.search(r"peak-kib (\d+)", output)
        figures["floor_mib"].append(int(peak.group(1)) // 1024 if peak else float("nan"))
        figures["ratio"].append(figures["player"][-1] / figures["floor"][-1])
    os.unlink(actions.name)

    median = {key: statistics.median(values) for key, values in figures.items()}
    print(f"{video.name}, {args.seconds:g} s of playback, medians of {args.runs} pairs")
    print(f"  cpu:         player {median['player']:.2f} s, floor {median['floor']:.2f} s, "
          f"ratio {median['ratio']:.2f}x (median of the pairs' ratios: "
          + ", ".join(f"{ratio:.2f}" for ratio in sorted(figures["ratio"])) + ")")
    print(f"  first frame: player {median['frame']:.0f} ms after its start")
    print(f"  peak memory: player {median['player_mib']:.0f} MiB, "
          f"floor {median['floor_mib']:.0f} MiB")


if __name__ == "__main__":
    main()
