#!/bin/sh
# Runs sound tests through a sound server of their own: a private PulseAudio
# whose only output is a null sink. The program's own way to a device (Qt
# Multimedia, PulseAudio and the device's clock) then keeps the time, where
# the other tests play to the silent output. Nothing reaches the speakers.
# Exits 77 (skipped) where pulseaudio and its tools are not installed or the
# server cannot run here.
#
# usage: sound_server_test.sh TEST_PROGRAM GTEST_FILTER
set -u
program=$1
filter=$2
for tool in pulseaudio pacat pactl parec; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed"
    exit 77
  fi
done
home=$(mktemp -d) || exit 1
server=""
keeper=""
cleanup() {
  for process in $keeper $server; do
    kill "$process" 2>/dev/null && wait "$process" 2>/dev/null
  done
  rm -rf "$home"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
socket=$home/native
HOME=$home XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/config \
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
  -L "module-native-protocol-unix socket=$socket auth-anonymous=1" \
  -L "module-null-sink sink_name=silence" >"$home/server.log" 2>&1 &
server=$!
tries=0
while [ ! -S "$socket" ]; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ] || ! kill -0 "$server" 2>/dev/null; then
    cat "$home/server.log"
    echo "SKIPPED: the sound server does not start here"
    exit 77
  fi
  sleep 0.1
done
export PULSE_SERVER=unix:$socket
# A null sink nobody plays to renders two seconds ahead, and a stream that
# joins is heard only after them; a device keeps a short latency while a
# stream plays. A stream of silence keeps the sink at that short latency.
pacat --raw --latency-msec=20 /dev/zero &
keeper=$!
settled() {
  pactl list sinks | awk '$1 == "Latency:" { exit !($2 < 100000) }'
}
tries=0
until settled; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ]; then
    echo "SKIPPED: the sound server's sink keeps a long latency here"
    exit 77
  fi
  sleep 0.1
done
VIDORA_TEST_SOUND=device "$program" --gtest_filter="$filter"
