#!/usr/bin/env python3
"""Authors the benchmark DVD: a long title that plays as soon as the disc
starts, long enough for stable throughput and CPU figures, and a shorter
interlaced one, as most PAL video is.

Output (in the folder given as the only argument):
  bench/VIDEO_TS/   the disc as a folder
  interlaced/VIDEO_TS/  title 2 alone, played as soon as the disc starts (a
                    picture per field: 50 a second)
  bench.json        what was authored; written last, so its presence means
                    the disc is complete

Both titles: PAL 720x576 4:3 MPEG-2 at a usual DVD bit rate, a chapter every
ten seconds, English AC-3 at 440 Hz and French MPEG audio at 660 Hz (only
the first one is played). Title 1 is progressive, title 2 interlaced. Every
picture carries its time and frame number, so that decoding cannot take
shortcuts on identical frames.
"""

import json
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "fixtures"))
from make_test_discs import author, run  # noqa: E402  (the test discs' authoring)

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FPS = 25
WIDTH, HEIGHT = 720, 576
CHAPTER_SECONDS = 10
VIDEO_BITRATE = "5000k"
GOP = 12
AUDIO = [("en", "ac3", 440, "192k"), ("fr", "mp2", 660, "192k")]
# (seconds, interlaced) of each title, in title order.
TITLES = [(120, False), (30, True)]


def make_title(path, number, seconds, interlaced):
    burn = (f"drawtext=fontfile={FONT}:fontsize=32:fontcolor=white:box=1:boxcolor=black:"
            f"x=40:y=40:text='BENCH T{number} %{{pts\\:hms}} frame %{{frame_num}}'")
    args = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-threads", "2",
            "-f", "lavfi", "-i", f"testsrc2=size={WIDTH}x{HEIGHT}:rate={FPS}"]
    for _, _, tone, _ in AUDIO:
        args += ["-f", "lavfi", "-i", f"sine=f={tone}:r=48000"]
    args += ["-t", str(seconds), "-vf", burn, "-map", "0:v"]
    for index in range(len(AUDIO)):
        args += ["-map", f"{index + 1}:a"]
    args += ["-target", "pal-dvd", "-b:v", VIDEO_BITRATE, "-aspect", "4:3",
             "-g", str(GOP), "-sc_threshold", "1000000000"]
    args += ["-flags", "+cgop+ilme+ildct", "-top", "1"] if interlaced else ["-flags", "+cgop"]
    for index, (_, codec, _, bitrate) in enumerate(AUDIO):
        args += [f"-c:a:{index}", codec, f"-b:a:{index}", bitrate]
    args += ["-ac", "2", path]
    run(args)


def chapters(seconds):
    return ",".join(f"{s // 60}:{s % 60:02d}" for s in range(0, seconds, CHAPTER_SECONDS))


def dvdauthor_xml(work, out):
    """Each title in a title set of its own, so that its VOB files hold that
    title alone, as the comparison with ffmpeg needs."""
    audio = "".join(f'<audio lang="{lang}"/>' for lang, _, _, _ in AUDIO)
    title_sets = "".join(
        f'<titleset><titles><video format="pal" aspect="4:3"/>{audio}'
        f'<pgc><vob file="{work}/title{number}.mpg" chapters="{chapters(seconds)}"/>'
        f'<post>exit;</post></pgc></titles></titleset>\n'
        for number, (seconds, _) in enumerate(TITLES, 1))
    return f"""<dvdauthor dest="{out}">
 <vmgm>
  <fpc>jump title 1;</fpc>
 </vmgm>
 {title_sets}</dvdauthor>
"""


def interlaced_xml(work, out):
    audio = "".join(f'<audio lang="{lang}"/>' for lang, _, _, _ in AUDIO)
    number = next(n for n, (_, interlaced) in enumerate(TITLES, 1) if interlaced)
    return f"""<dvdauthor dest="{out}">
 <vmgm><fpc>jump title 1;</fpc></vmgm>
 <titleset><titles><video format="pal" aspect="4:3"/>{audio}
  <pgc><vob file="{work}/title{number}.mpg"/><post>exit;</post></pgc></titles></titleset>
</dvdauthor>
"""


def summary():
    titles = "; ".join(
        f"title {number}: {seconds} s {'interlaced' if interlaced else 'progressive'}"
        for number, (seconds, interlaced) in enumerate(TITLES, 1))
    sound = ", ".join(f"{lang} {codec} {rate}b/s" for lang, codec, _, rate in AUDIO)
    return f"MPEG-2 {WIDTH}x{HEIGHT} at {FPS} fps, {VIDEO_BITRATE}b/s, {sound}; {titles}"


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_bench_disc.py OUTPUT_DIR")
    out_dir = os.path.abspath(sys.argv[1])
    work = os.path.join(out_dir, "work")
    disc = os.path.join(out_dir, "bench")
    interlaced_disc = os.path.join(out_dir, "interlaced")
    stamp = os.path.join(out_dir, "bench.json")
    if os.path.exists(stamp):
        os.remove(stamp)
    for path in (work, disc, interlaced_disc):
        shutil.rmtree(path, ignore_errors=True)
    os.makedirs(work)

    for number, (seconds, interlaced) in enumerate(TITLES, 1):
        make_title(os.path.join(work, f"title{number}.mpg"), number, seconds, interlaced)
    author(work, "bench", dvdauthor_xml(work, disc))
    author(work, "interlaced", interlaced_xml(work, interlaced_disc))
    shutil.rmtree(work)
    with open(stamp, "w", encoding="utf-8") as handle:
        json.dump({"summary": summary(), "frames_per_second": FPS,
                   "titles": [{"title": number, "duration_seconds": seconds,
                               "interlaced": interlaced}
                              for number, (seconds, interlaced) in enumerate(TITLES, 1)],
                   "audio": [{"stream": i, "lang": lang, "codec": codec, "tone_hz": tone}
                             for i, (lang, codec, tone, _) in enumerate(AUDIO)]},
                  handle, indent=1)


if __name__ == "__main__":
    main()
