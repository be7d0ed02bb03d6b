#!/usr/bin/env bash
# The listening test: a PulseAudio daemon of its own with a null sink, the sink's monitor
# recorded while the driver plays, the recording checked against the sound files.
#
#   listen_test.sh <sound_driver> <listen_check> <media folder>
set -euo pipefail
driver=$1 checker=$2 media=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/vemo-listen.XXXXXX")
daemon='' recorder=''
cleanup() {
    status=$?
    [ -n "$recorder" ] && kill "$recorder" 2>/dev/null && wait "$recorder" 2>/dev/null
    [ -n "$daemon" ] && kill "$daemon" 2>/dev/null && wait "$daemon" 2>/dev/null
    [ $status -ne 0 ] && [ -f "$work/daemon.log" ] && { echo "--- daemon log:"; cat "$work/daemon.log"; }
    rm -rf "$work"
    exit $status
}
trap cleanup EXIT INT TERM

# Everything the daemon and its clients keep goes into the work folder; no session bus.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export PULSE_RUNTIME_PATH=$work/run PULSE_STATE_PATH=$work/state
export PULSE_SERVER=unix:$work/native
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS VEMO_SOUND_LOG
mkdir -p "$work/config" "$work/run" "$work/state"
chmod 700 "$work/run"

# A mono 48 kHz sink, so the recording holds the stream's samples unmixed. Without rewinds: a
# rewind re-renders audio the monitor has already handed to the recorder, which would then hold
# stretches twice or not at all, though a speaker would have played them right.
pulseaudio -n --system=no --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --use-pid-file=no --disable-shm=yes --realtime=no --high-priority=no \
    --log-target=stderr --log-level=warning \
    -L "module-null-sink sink_name=vemo_listen rate=48000 channels=1 format=s16le norewinds=1" \
    -L "module-native-protocol-unix socket=$work/native auth-anonymous=1" \
    >"$work/daemon.log" 2>&1 &
daemon=$!

for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    kill -0 "$daemon" 2>/dev/null || { echo "the sound daemon did not start"; exit 1; }
    sleep 0.1
done
pactl info >/dev/null

parec -d vemo_listen.monitor --raw --format=s16le --rate=48000 --channels=1 \
    --latency-msec=10 >"$work/recording.raw" &
recorder=$!
sleep 0.5

"$driver" "$media" listen "$work"

sleep 0.5
kill -INT "$recorder"
wait "$recorder" || true
recorder=''

"$checker" "$work/recording.raw" "$media"
