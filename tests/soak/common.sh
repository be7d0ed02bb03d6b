# shellcheck shell=bash disable=SC2154
# Shared by the soak scripts: a display of their own, the clock under a faked time of day, the
# name prompt, screenshots. Sourced; expects $work (scratch folder) and $VEMO_BIN.

faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
xvfb_pid='' clock_pid=''

need_tools() { # <tool>...
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

cleanup() {
    local status=$?
    set +e
    [ -n "$clock_pid" ] && kill "$clock_pid" 2>/dev/null && wait "$clock_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    if [ "$status" -eq 0 ] && [ -z "${SOAK_KEEP:-}" ]; then rm -rf "$work"; else echo "kept $work"; fi
    exit "$status"
}

fail() { echo "FAIL: $*" >&2; exit 1; }
now_ms() { date +%s%3N; }

# Xvfb picks a free display number and writes it to fd 3.
start_x() { # <width>x<height>
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$1x24" 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local _
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n1 "$work/display")"
}

# The clock, silent (no sound server), in UTC, with a fresh runtime folder; stdout and stderr
# go to $work/clock.out and $work/clock.err. With a FAKETIME value the time of day is faked;
# libfaketime then fakes CLOCK_MONOTONIC as well, so Qt's timers run at the same speed as the
# faked wall clock the ticks are locked to.
start_clock() { # <FAKETIME value or ""> <program> [VAR=value...]
    local fake=$1 program=$2
    shift 2
    mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
    local asan=${ASAN_OPTIONS:-}
    [ "${VEMO_SANITIZE:-OFF}" = ON ] && asan="verify_asan_link_order=0${asan:+:$asan}"
    local preload=()
    if [ -n "$fake" ]; then
        [ -e "$faketime_lib" ] || { echo "SKIP: libfaketime is not installed"; exit 77; }
        preload=(LD_PRELOAD="$faketime_lib" FAKETIME="$fake" FAKETIME_DONT_RESET=1)
    fi
    (cd "$work" && exec env -u VEMO_SOUND_LOG -u QT_QPA_PLATFORM TZ=UTC "${preload[@]}" \
        PULSE_SERVER=unix:/nonexistent/pulse XDG_RUNTIME_DIR="$work/runtime" \
        ASAN_OPTIONS="$asan" "$@" "$program") >"$work/clock.out" 2>"$work/clock.err" &
    clock_pid=$!
}

alive() { [ -n "$clock_pid" ] && kill -0 "$clock_pid" 2>/dev/null; }

window_of() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true; }

wait_window() { # <title as a regular expression> [seconds]
    local id='' _
    for _ in $(seq $((${2:-15} * 20))); do
        id=$(window_of "$1")
        [ -n "$id" ] && { echo "$id"; return 0; }
        alive || fail "the clock ended early: $(cat "$work/clock.err")"
        sleep 0.05
    done
    fail "no window named '$1'"
}

# The clock window's client origin in screen pixels: sets client_x, client_y.
find_clock() {
    clock_window=$(wait_window 'Tolvan Vemo')
    read -r client_x client_y < <(xwininfo -id "$clock_window" |
        awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
}

# Waits for the prompt and gives it the focus; the line edit has it once the dialog is shown.
wait_prompt() {
    wait_window 'Vemo \?' >/dev/null
    sleep 0.3
}

answer_prompt() { # <name>
    wait_prompt
    # Letters outside the keymap are typed through a remapped key; faster than this, the prompt
    # misses some of them.
    xdotool type --delay 40 -- "$1"
    xdotool key Return
    find_clock
}

click_client() { # <x> <y> in client pixels
    xdotool mousemove "$((client_x + $1))" "$((client_y + $2))" click 1
}

# import, not xwd -root: xwd reads a window with a colormap of its own from its whole
# rectangle, corners outside the round shape included.
shot() { import -display "$DISPLAY" -window root "png:$work/$1.png"; }

# Lines of the tick sound in the sound log so far.
tick_count() { grep -c 'Komutu\.wav$' "$1" 2>/dev/null || true; }

# The faked time of the log's last line, unix ms (0 while the log is empty).
log_ms() {
    local line
    line=$(tail -n1 "$1" 2>/dev/null || true)
    echo "${line%% *}" | grep -E '^[0-9]+$' || echo 0
}

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$clock_pid/status" 2>/dev/null || true; }
