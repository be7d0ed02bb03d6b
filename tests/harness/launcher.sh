# shellcheck shell=bash disable=SC2154
# The one launcher of the real-program tests (e2e, soak, faults): a display of their own, the
# clock under a faked time of day, the name prompt, finding the window, clicks, screenshots,
# the sound log and a watch on the machine's own stalls. Sourced by a script that has set
# $work (its scratch folder); the script then sets `trap cleanup EXIT`.
#
# Screenshots are read from Xvfb's framebuffer file (-fbdir), not through the X server: a
# request to the server stalls the clock's repaint while the server serves it, and under a
# clock faked 60 times as fast 17 ms of stall is a lost second.

# A program built for another processor runs under $VEMO_EMULATOR (qemu-aarch64-static for the
# arm64 build), with the faked clock's library of its own architecture: $VEMO_MULTIARCH, its
# multiarch triplet (aarch64-linux-gnu).
read -ra emulator <<<"${VEMO_EMULATOR:-}"
faketime_lib=/usr/lib/${VEMO_MULTIARCH:-x86_64-linux-gnu}/faketime/libfaketime.so.1
harness=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
xvfb_pid='' clock_pid='' watch_pid=''
# More of the script's own processes (a compositor), ended after the clock, and folders
# removed whatever the outcome.
other_pids=() scratch_dirs=()

need_tools() { # <tool>...
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

need_faketime() {
    [ -e "$faketime_lib" ] || { echo "SKIP: libfaketime is not installed"; exit 77; }
}

cleanup() {
    local status=$?
    set +e
    [ -n "$watch_pid" ] && kill "$watch_pid" 2>/dev/null && wait "$watch_pid" 2>/dev/null
    [ -n "$clock_pid" ] && kill "$clock_pid" 2>/dev/null && wait "$clock_pid" 2>/dev/null
    local i
    for ((i = ${#other_pids[@]} - 1; i >= 0; i--)); do
        kill "${other_pids[i]}" 2>/dev/null && wait "${other_pids[i]}" 2>/dev/null
    done
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    [ ${#scratch_dirs[@]} -eq 0 ] || rm -rf "${scratch_dirs[@]}"
    if [ "$status" -eq 0 ] && [ -z "${SOAK_KEEP:-}" ]; then rm -rf "$work"; else echo "kept $work"; fi
    exit "$status"
}

fail() { echo "FAIL: $*" >&2; exit 1; }
now_ms() { date +%s%3N; }

# A display of its own: Xvfb picks a free number and writes it to fd 3, and keeps its screen in
# $work/fb/Xvfb_screen0. -noreset keeps the resource database (Xft.dpi) when the last client goes.
start_x() { # <width>x<height> [Xft.dpi]
    mkdir -p "$work/fb"
    Xvfb -displayfd 3 -noreset -nolisten tcp -fbdir "$work/fb" -screen 0 "$1x24" \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local _
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n1 "$work/display")"
    if [ $# -ge 2 ]; then
        command -v xrdb >/dev/null || { echo "SKIP: xrdb (x11-xserver-utils) is not installed"; exit 77; }
        xrdb -merge <<<"Xft.dpi: $2"
    fi
}

# The faked time of day, for a clock started with "file:" (see start_clock): written whole in
# one rename, so that the clock never reads a file half written.
set_faked_time() { # <FAKETIME value, e.g. "@2026-12-08 05:30:00">
    echo "$1" >"$work/faketime.new"
    mv "$work/faketime.new" "$work/faketime"
}

# The clock in UTC, silent (no sound server), with a fresh runtime folder; stdout and stderr go
# to $work/clock.out and $work/clock.err. The time of day is
#   ""                  the machine's own;
#   "@<time> [x<rate>]" faked from <time> on, <rate> times as fast; libfaketime then fakes the
#                       monotonic clock as well, so the timers run as fast as the faked wall;
#   "file:@<time>"      faked from <time>, and stepped by set_faked_time while the clock runs;
#                       the monotonic clock stays the machine's own, as under a real step.
# Options -u NAME, first, leave NAME out of the clock's environment.
start_clock() { # <time of day> <program> [-u NAME...] [VAR=value...]
    local fake=$1 program=$2 unset=()
    shift 2
    while [ "${1:-}" = -u ]; do
        unset+=(-u "$2")
        shift 2
    done
    mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
    local asan=${ASAN_OPTIONS:-}
    # The faked clock's library comes first in the preload list; ASan must not insist on it.
    [ "${VEMO_SANITIZE:-OFF}" = ON ] && asan="verify_asan_link_order=0${asan:+:$asan}"
    local preload=()
    case $fake in
    '') ;;
    file:*)
        need_faketime
        set_faked_time "${fake#file:}"
        preload=(LD_PRELOAD="$faketime_lib" FAKETIME_TIMESTAMP_FILE="$work/faketime"
            FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1)
        ;;
    *)
        need_faketime
        preload=(LD_PRELOAD="$faketime_lib" FAKETIME="$fake" FAKETIME_DONT_RESET=1)
        ;;
    esac
    (cd "$work" && exec env -u VEMO_SOUND_LOG -u QT_QPA_PLATFORM "${unset[@]}" TZ=UTC "${preload[@]}" \
        PULSE_SERVER=unix:/nonexistent/pulse XDG_RUNTIME_DIR="$work/runtime" \
        ASAN_OPTIONS="$asan" "$@" "${emulator[@]}" "$program") >"$work/clock.out" 2>"$work/clock.err" &
    clock_pid=$!
}

alive() { [ -n "$clock_pid" ] && kill -0 "$clock_pid" 2>/dev/null; }

# Waits for the clock to end by itself within <ms>; sets $exit_status.
wait_exit() { # <ms>
    local since
    since=$(now_ms)
    while alive && [ $(($(now_ms) - since)) -lt "$1" ]; do sleep 0.02; done
    alive && return 1
    exit_status=0
    wait "$clock_pid" || exit_status=$?
    clock_pid=''
}

# Titles are regular expressions.
window_of() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true; }

wait_window() { # <title> [seconds]: prints the window's id
    local id='' _
    for _ in $(seq $((${2:-15} * 20))); do
        id=$(window_of "$1")
        [ -n "$id" ] && { echo "$id"; return 0; }
        alive || fail "the clock ended early: $(cat "$work/clock.err")"
        sleep 0.05
    done
    fail "no window named '$1'"
}

# The clock window and its client origin in screen pixels: sets clock_window, client_x, client_y.
find_clock() {
    clock_window=$(wait_window 'Tolvan Vemo')
    read -r client_x client_y < <(xwininfo -id "$clock_window" |
        awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
}

# Waits for the prompt; its line edit has the focus once the dialog is shown.
wait_prompt() {
    wait_window 'Vemo [?]' >/dev/null
    sleep 0.3
}

# Types the name and Return, then finds the clock window. With $time_at_prompt set (a clock
# started with "file:"), the faked time is set to it once the prompt shows: start-up reads the
# time after the prompt, and a busy machine may take seconds to show it.
answer_prompt() { # <name>
    "$harness/bind-letters" "$1"
    wait_prompt
    [ -z "${time_at_prompt:-}" ] || set_faked_time "$time_at_prompt"
    xdotool type --delay 80 -- "$1"
    xdotool key Return
    find_clock
}

click_client() { # <x> <y> in client pixels
    xdotool mousemove "$((client_x + $1))" "$((client_y + $2))" click 1
}

click_twips() { # <x> <y> in client twips, [twips a pixel: 15, as at 96 dpi]
    click_client $(($1 / ${3:-15})) $(($2 / ${3:-15}))
}

# The screen as it is now, copied from the framebuffer file: $work/<name>.xwd, an XWD image
# that the checkers read (tests/harness/screenshot.h); `convert xwd:<file> <name>.png` to look.
# The copy is not one instant: where the server was drawing meanwhile, part of the region drawn
# may be new and part old.
shot() { # <name>
    cp "$work/fb/Xvfb_screen0" "$work/$1.xwd"
}

# Lines of the tick sound in a sound log so far.
tick_count() { grep -c 'Komutu\.wav$' "$1" 2>/dev/null || true; }

# Waits until a sound log holds <n> ticks: at most <seconds> when given.
wait_ticks() { # <sound log> <n> [seconds]
    local since
    since=$(now_ms)
    while [ "$(tick_count "$1")" -lt "$2" ]; do
        alive || fail "the clock ended: $(cat "$work/clock.err")"
        [ -z "${3:-}" ] || [ $(($(now_ms) - since)) -lt $(($3 * 1000)) ] ||
            fail "fewer than $2 ticks in $3 s"
        sleep 0.02
    done
}

# The faked time of a sound log's last line, unix ms (0 while the log is empty).
log_ms() {
    local line
    line=$(tail -n1 "$1" 2>/dev/null || true)
    echo "${line%% *}" | grep -E '^[0-9]+$' || echo 0
}

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$clock_pid/status" 2>/dev/null || true; }

# Watches the machine beside the clock, into $work/stalls.log: when each line of the sound log
# appeared (real time), and every moment the machine held the clock, the X server or the watch
# itself back from running (see stall_watch.cpp). Needs $STALL_WATCH.
start_stall_watch() { # <sound log>
    "$STALL_WATCH" "$1" "$clock_pid" "$xvfb_pid" >"$work/stalls.log" 2>&1 &
    watch_pid=$!
}

# It ends by itself when the clock ends.
stop_stall_watch() {
    [ -n "$watch_pid" ] || return 0
    kill "$watch_pid" 2>/dev/null || true
    wait "$watch_pid" 2>/dev/null || true
    watch_pid=''
}
