#!/usr/bin/env bash
# The listening test: a sound server of its own (tests/harness/sound-server) playing into a null
# sink, the sink's monitor recorded while the driver plays, the recording checked against the
# sound files.
#
#   listen_test.sh <sound_driver> <listen_check> <media folder> [pulseaudio|pipewire|restart]
#
# pulseaudio (the default) and pipewire: the driver's programme on PulseAudio, or on PipeWire's
# PulseAudio server. restart: a tick every second on PulseAudio, which is stopped and started
# again on the same socket: ticks before, and again within 2 s of its return.
set -euo pipefail
driver=$1 checker=$2 media=$3 run=${4:-pulseaudio}
server=$(cd "$(dirname "$0")/../harness" && pwd)/sound-server
kind=$run
[ "$run" = restart ] && kind=pulseaudio
for tool in "$kind" pactl parec; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vemo-listen.XXXXXX")
recorder='' playing=''
cleanup() {
    status=$?
    [ -n "$recorder" ] && kill "$recorder" 2>/dev/null && wait "$recorder" 2>/dev/null
    [ -n "$playing" ] && kill "$playing" 2>/dev/null && wait "$playing" 2>/dev/null
    "$server" stop "$work/server"
    [ $status -ne 0 ] && for log in "$work"/server/*.log; do echo "--- $log:"; cat "$log"; done
    rm -rf "$work"
    exit $status
}
trap cleanup EXIT INT TERM

# The driver and the recorder keep what they keep in the work folder too; no session bus.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export PULSE_SERVER=unix:$work/server/native
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS VEMO_SOUND_LOG
mkdir -p "$work/config" "$work/run"
chmod 700 "$work/run"

now_ms() { date +%s%3N; }

# The recorder's latency sets PipeWire's graph cycle: 15 ms gives 512 frames (10.7 ms at 48 kHz),
# which places a sound's start to within 11 ms. At 10 ms the cycle is 256 frames, at which rate
# the recording of a busy machine came out short of the time that passed by whole cycles, up to
# 60 ms in 8 s, and the sounds after seemed early.
record() { # <file>
    parec -d vemo_listen.monitor --raw --format=s16le --rate=48000 --channels=1 \
        --latency-msec=15 >"$1" &
    recorder=$!
}

stop_recording() {
    kill -INT "$recorder"
    wait "$recorder" || true
    recorder=''
}

"$server" start "$kind" "$work/server" recording
if [ "$run" != restart ]; then
    record "$work/recording.raw"
    sleep 0.5
    "$driver" "$media" listen "$work"
    sleep 0.5
    stop_recording
    "$checker" "$work/recording.raw" "$media"
    exit
fi

# A tick every second for 14 s: 4 s of them recorded, then the server away for 2 s.
record "$work/before.raw"
sleep 0.5
"$driver" "$media" ticks 14 &
playing=$!
sleep 4
stop_recording
"$server" stop "$work/server"
sleep 2
"$server" start pulseaudio "$work/server" recording
returned=$(now_ms)
record "$work/after.raw"
# When the recording began: its first bytes, less what they hold (48 kHz, 2 bytes a sample).
while [ ! -s "$work/after.raw" ]; do sleep 0.01; done
began=$(($(now_ms) - $(stat -c %s "$work/after.raw") / 96))
sleep 5
stop_recording
wait "$playing"
playing=''
echo "before the server stopped:"
"$checker" ticks "$work/before.raw" "$media" 0
echo "after it started again:"
"$checker" ticks "$work/after.raw" "$media" $((returned - began))
