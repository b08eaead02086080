#!/bin/sh
# Every benchmark figure of the player, measured in one run: audio decoding,
# the engine's decoding throughput beside ffmpeg, the program's start-up to its
# control bar, start-up times of playback, and CPU and
# memory of real-time playback headless and in a window under Xvfb. Where mpv
# or VLC is installed, they play the same disc in the same run and their
# ratios are printed; neither is a dependency of the project.
#
# usage: bench/run-benchmarks.sh [BUILD_DIR]
# BENCH_PLAY_SECONDS sets the length of each playback run (default 20).
set -eu

BUILD_DIR=${1:-build}
PLAY_SECONDS=${BENCH_PLAY_SECONDS:-20}
HERE=$(cd "$(dirname "$0")" && pwd)
BIN="$BUILD_DIR/bench"
DISC_DIR="$BUILD_DIR/benchdisc"
DISC="$DISC_DIR/bench"

for program in audio_decode_bench engine_throughput_bench engine_startup_bench \
  engine_playback_bench dvddb_bench menu_response_bench program_startup_bench; do
  if [ ! -x "$BIN/$program" ]; then
    echo "$BIN/$program is missing: build first (make build)" >&2
    exit 1
  fi
done

# The disc is made on demand, and again only when its generator changes.
if [ ! -f "$DISC_DIR/bench.json" ] || [ "$HERE/make_bench_disc.py" -nt "$DISC_DIR/bench.json" ]; then
  echo "Authoring the benchmark disc in $DISC_DIR ..."
  python3 "$HERE/make_bench_disc.py" "$DISC_DIR"
fi

# A window needs an X server: Xvfb gives each such run one of its own.
in_window() {
  xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
}

section() {
  echo
  echo "== $1"
}

echo "Benchmarks on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $(date '+%Y-%m-%d %H:%M')"
echo "Disc: $DISC, $(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["summary"])' "$DISC_DIR/bench.json")"

section "Audio decoding"
"$BIN/audio_decode_bench"

section "Decoding throughput (title 1 progressive, title 2 interlaced)"
"$BIN/engine_throughput_bench" "$DISC" 1 3
"$BIN/engine_throughput_bench" "$DISC" 2 3

section "Program start-up, to the control bar shown"
QT_QPA_PLATFORM=offscreen "$BIN/program_startup_bench" "$BUILD_DIR/vidora" 10
in_window env QT_QPA_PLATFORM=xcb "$BIN/program_startup_bench" "$BUILD_DIR/vidora" 10

section "Start-up, from Play, in a 720x576 window"
QT_QPA_PLATFORM=offscreen "$BIN/engine_startup_bench" "$DISC" 6 2>/dev/null
in_window env QT_QPA_PLATFORM=xcb "$BIN/engine_startup_bench" "$DISC" 6 2>/dev/null

section "DVD database: recognising the disc at each notification, rebuilding the list"
QT_QPA_PLATFORM=offscreen "$BIN/dvddb_bench"

section "Menu response, from SelectLowerButton to the new highlight painted (test disc menu)"
in_window env QT_QPA_PLATFORM=xcb "$BIN/menu_response_bench" "$BUILD_DIR/testdiscs/sample" 20 2>/dev/null

section "Pacing in a 720x576 window: each picture's time on screen against its due duration"
in_window env QT_QPA_PLATFORM=xcb "$BIN/engine_playback_bench" "$DISC" "$PLAY_SECONDS" --pacing
in_window env QT_QPA_PLATFORM=xcb "$BIN/engine_playback_bench" "$DISC_DIR/interlaced" \
  "$PLAY_SECONDS" --pacing

section "Real-time playback beside the other players on this machine"
python3 "$HERE/compare_players.py" "$BUILD_DIR" "$DISC" "$PLAY_SECONDS"
