#!/usr/bin/env python3
"""Authors the benchmark DVD: one long title that plays as soon as the disc
starts, long enough for stable throughput and CPU figures.

Output (in the folder given as the only argument):
  bench/VIDEO_TS/   the disc as a folder
  bench.json        what was authored; written last, so its presence means
                    the disc is complete

Title 1: PAL 720x576 4:3 progressive MPEG-2 at a usual DVD bit rate, a
chapter every ten seconds, English AC-3 at 440 Hz and French MPEG audio at
660 Hz (only the first one is played). Every picture carries its time and
frame number, so that decoding cannot take shortcuts on identical frames.
"""

import json
import os
import shutil
import subprocess
import sys

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FPS = 25
WIDTH, HEIGHT = 720, 576
SECONDS = 120
CHAPTER_SECONDS = 10
VIDEO_BITRATE = "5000k"
GOP = 12
AUDIO = [("en", "ac3", 440, "192k"), ("fr", "mp2", 660, "192k")]


def run(args, **kwargs):
    subprocess.run(args, check=True, **kwargs)


def make_title(path):
    burn = (f"drawtext=fontfile={FONT}:fontsize=32:fontcolor=white:box=1:boxcolor=black:"
            f"x=40:y=40:text='BENCH %{{pts\\:hms}} frame %{{frame_num}}'")
    args = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-threads", "2",
            "-f", "lavfi", "-i", f"testsrc2=size={WIDTH}x{HEIGHT}:rate={FPS}"]
    for _, _, tone, _ in AUDIO:
        args += ["-f", "lavfi", "-i", f"sine=f={tone}:r=48000"]
    args += ["-t", str(SECONDS), "-vf", burn, "-map", "0:v"]
    for index in range(len(AUDIO)):
        args += ["-map", f"{index + 1}:a"]
    args += ["-target", "pal-dvd", "-b:v", VIDEO_BITRATE, "-aspect", "4:3",
             "-g", str(GOP), "-flags", "+cgop", "-sc_threshold", "1000000000"]
    for index, (_, codec, _, bitrate) in enumerate(AUDIO):
        args += [f"-c:a:{index}", codec, f"-b:a:{index}", bitrate]
    args += ["-ac", "2", path]
    run(args)


def dvdauthor_xml(title, out):
    audio = "".join(f'<audio lang="{lang}"/>' for lang, _, _, _ in AUDIO)
    chapters = ",".join(f"{s // 60}:{s % 60:02d}" for s in range(0, SECONDS, CHAPTER_SECONDS))
    return f"""<dvdauthor dest="{out}">
 <vmgm>
  <fpc>jump title 1;</fpc>
 </vmgm>
 <titleset>
  <titles>
   <video format="pal" aspect="4:3"/>
   {audio}
   <pgc>
    <vob file="{title}" chapters="{chapters}"/>
    <post>exit;</post>
   </pgc>
  </titles>
 </titleset>
</dvdauthor>
"""


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_bench_disc.py OUTPUT_DIR")
    out_dir = os.path.abspath(sys.argv[1])
    work = os.path.join(out_dir, "work")
    disc = os.path.join(out_dir, "bench")
    stamp = os.path.join(out_dir, "bench.json")
    for path in (work, disc, stamp):
        if os.path.isdir(path):
            shutil.rmtree(path)
        elif os.path.exists(path):
            os.remove(path)
    os.makedirs(work)

    title = os.path.join(work, "title1.mpg")
    make_title(title)
    config = os.path.join(work, "bench.xml")
    with open(config, "w", encoding="utf-8") as handle:
        handle.write(dvdauthor_xml(title, disc))
    run(["dvdauthor", "-x", config], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        env={**os.environ, "VIDEO_FORMAT": "PAL"})
    shutil.rmtree(work)
    with open(stamp, "w", encoding="utf-8") as handle:
        summary = (f"title 1: {SECONDS} s of MPEG-2 {WIDTH}x{HEIGHT} at {FPS} fps, "
                   f"{VIDEO_BITRATE}b/s, " +
                   ", ".join(f"{lang} {codec} {rate}b/s" for lang, codec, _, rate in AUDIO))
        json.dump({"summary": summary, "frames_per_second": FPS, "duration_seconds": SECONDS,
                   "chapters": len(range(0, SECONDS, CHAPTER_SECONDS)),
                   "video_bitrate": VIDEO_BITRATE,
                   "audio": [{"stream": i, "lang": lang, "codec": codec, "tone_hz": tone}
                             for i, (lang, codec, tone, _) in enumerate(AUDIO)]},
                  handle, indent=1)


if __name__ == "__main__":
    main()
