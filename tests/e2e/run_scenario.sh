#!/usr/bin/env bash
# Runs the clock as a user would, on a display of its own, and checks what the screen shows.
#
#   run_scenario.sh <scenario>
#
# Environment: VEMO_BIN (the program), SHOT_CHECK (the screenshot checker), VEMO_SANITIZE
# (ON in the sanitizer build), WORK_DIR (scratch space; a temporary folder when unset).
# Scenarios: prompt circle hands alarm kapat chime sound_log_unset dpi120 dpi144.
set -euo pipefail

scenario=${1:?scenario name}
: "${VEMO_BIN:?path of vemo2}" "${SHOT_CHECK:?path of shot_check}"
VEMO_BIN=$(realpath "$VEMO_BIN") SHOT_CHECK=$(realpath "$SHOT_CHECK")
sanitize=${VEMO_SANITIZE:-OFF}
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1

for tool in Xvfb xdotool import xwininfo convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -e "$faketime_lib" ] || { echo "SKIP: libfaketime is not installed"; exit 77; }

work=$(mktemp -d "${WORK_DIR:-${TMPDIR:-/tmp}}/vemo-e2e-$scenario.XXXXXX")
xvfb_pid='' clock_pid=''
cleanup() {
    local status=$?
    set +e
    if [ -n "$clock_pid" ]; then kill "$clock_pid" 2>/dev/null; wait "$clock_pid" 2>/dev/null; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "kept $work"; fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() { echo "FAIL: $*"; exit 1; }
now_ms() { date +%s%3N; }

# A display of its own: Xvfb picks a free number and writes it to fd 3. -noreset keeps the
# resource database (Xft.dpi) when the last client goes.
start_x() { # <width>x<height> [Xft.dpi]
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$1x24" 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
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

# The clock under a faked time of day (UTC), silent, with a fresh runtime folder.
start_clock() { # <FAKETIME value> [VAR=value...]
    local fake=$1
    shift
    mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
    local asan=${ASAN_OPTIONS:-}
    # The faked clock's library comes first in the preload list; ASan must not insist on it.
    [ "$sanitize" = ON ] && asan="verify_asan_link_order=0${asan:+:$asan}"
    (cd "$work" && exec env -u VEMO_SOUND_LOG TZ=UTC LD_PRELOAD="$faketime_lib" FAKETIME="$fake" \
        FAKETIME_DONT_RESET=1 PULSE_SERVER=unix:/nonexistent/pulse XDG_RUNTIME_DIR="$work/runtime" \
        ASAN_OPTIONS="$asan" "$@" "$VEMO_BIN") >"$work/clock.log" 2>&1 &
    clock_pid=$!
}

# Titles are regular expressions.
window_of() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true; }

# Sets $window to the visible window of that title.
wait_window() { # <title> [seconds]
    window=''
    for _ in $(seq $((${2:-10} * 20))); do
        window=$(window_of "$1")
        [ -n "$window" ] && return 0
        kill -0 "$clock_pid" 2>/dev/null || fail "the clock ended early: $(cat "$work/clock.log")"
        sleep 0.05
    done
    fail "no window named '$1'"
}

# Types the name into the prompt and sends Return; sets $clock_window and its client origin.
answer_prompt() { # <name>
    wait_window 'Vemo [?]'
    sleep 0.3 # the line edit takes the focus once the dialog is shown
    # Letters outside the keymap are typed by rebinding a spare key; slowly enough that the
    # client has read each new binding before the key comes.
    xdotool type --delay 80 "$1"
    xdotool key Return
    wait_window 'Tolvan Vemo'
    clock_window=$window
    read -r client_x client_y < <(xwininfo -id "$clock_window" |
        awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
}

# ImageMagick's import reads what the screen shows. xwd -root does not: for a window with a
# colormap of its own (Qt gives every window one) it reads the window's whole rectangle, and
# the corners outside the round shape come out black.
shot() { import -display "$DISPLAY" -window root "png:$work/$1.png"; }

check() { # <shot> <twips per pixel> <fact>...
    local name=$1 tpp=$2
    shift 2
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" "$SHOT_CHECK" "$work/$name.png" "$client_x" "$client_y" "$tpp" "$@" ||
        fail "screenshot $name"
}

# Screen pixels of a client point in twips, at 15 twips a pixel.
click_twips() { # <x> <y>
    xdotool mousemove "$((client_x + $1 / 15))" "$((client_y + $2 / 15))" click 1
}

# Boxes of the window description, twips: left,top,width,height.
name_box=1920,6240,7215,1215
kapat_box=4920,9000,1215,375
below_kapat=4920,9390,1215,120
text_box=5040,8400,975,375
hour_button=4800,8400,255,375
minute_button=6000,8400,255,375

case "$scenario" in
prompt)
    # The name prompt comes first; the name shows proper-cased, Turkish letters and all.
    start_x 1024x768
    start_clock "@2026-12-08 06:30:03"
    wait_window 'Vemo [?]'
    [ -z "$(xdotool search --name 'Tolvan Vemo' 2>/dev/null || true)" ] ||
        fail "the clock window exists before the prompt is answered"
    answer_prompt 'şule ılgaz'
    [ -z "$(window_of 'Vemo [?]')" ] || fail "the prompt is still shown"
    sleep 0.3
    shot named
    check named 15 "name:Şule Ilgaz:0.95:Sule Ilgaz|şule ılgaz|Şule İlgaz|ŞULE ILGAZ" \
        "box:$name_box:orange:0.03"
    ;;
circle)
    # The round window's place; outside the circle the root window shows through.
    start_x 1024x768
    if command -v xsetroot >/dev/null; then xsetroot -solid '#00ff00'; fi
    shot root
    start_clock "@2026-12-08 06:30:03"
    answer_prompt 'x'
    sleep 0.3
    shot clock
    check clock 15 "circle:$work/root.png:158:53:870:765:2"
    ;;
hands)
    # Shortly after 06:30:05, after the first tick.
    start_x 1024x768
    start_clock "@2026-12-08 06:30:03"
    answer_prompt 'Ali'
    sleep 1.6
    shot hands
    # The minute hand points down: over the name, behind "Kapat", out again below it.
    check hands 15 "clock:6:30:4:10" \
        "along:minute:90.5:black:0.9:1:$name_box" \
        "along:minute:90.5:paleyellow:0.4:1:$kapat_box" \
        "along:minute:90.5:black:0:0.2:$kapat_box" \
        "along:minute:90.5:black:0.9:1:$below_kapat" \
        "along:hour:105.04:navy:0.8:1:$name_box"
    ;;
alarm)
    # Six times as fast: the 20th tick comes about 3.3 s after start-up, the checks of the open
    # panel take some 2 s.
    start_x 1024x768
    start_clock "@2026-12-08 06:30:03 x6"
    answer_prompt 'Ali'
    started=$(now_ms)
    shot closed
    check closed 15 "box:$text_box:white:0:0.05" "along:alarm:-90:red:0:0.05"
    click_twips 5520 8160
    sleep 0.2
    shot opened
    check opened 15 "box:$text_box:white:0.3" "along:alarm:-90:red:0.5"
    # Apart by more than the double-click interval, each press its own click.
    for _ in 1 2 3; do
        click_twips 4927 8587
        sleep 0.45
    done
    sleep 0.2
    shot three
    check three 15 "along:alarm:0:red:0.5" "along:alarm:-90:red:0:0.05" "box:$text_box:white:0.3"
    # Hidden on the 20th tick.
    while [ $(($(now_ms) - started)) -lt 4000 ]; do sleep 0.05; done
    shot hidden
    check hidden 15 "box:$text_box:white:0:0.05" "box:$hour_button:paleyellow:0.6" \
        "box:$minute_button:paleyellow:0.6"
    echo "panel checks took $(($(now_ms) - started)) ms"
    ;;
kapat)
    start_x 1024x768
    start_clock "@2026-12-08 06:30:03"
    answer_prompt 'Ali'
    sleep 0.3
    click_twips 5527 9187
    clicked=$(now_ms)
    limit=1000
    [ "$sanitize" = ON ] && limit=3000
    while kill -0 "$clock_pid" 2>/dev/null && [ $(($(now_ms) - clicked)) -lt "$limit" ]; do
        sleep 0.02
    done
    kill -0 "$clock_pid" 2>/dev/null && fail "still running ${limit} ms after the click on Kapat"
    status=0
    wait "$clock_pid" || status=$?
    clock_pid=''
    echo "ended $(($(now_ms) - clicked)) ms after the click, status $status"
    [ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/clock.log")"
    ;;
chime)
    # Just before noon: the noon tick asks for the tick sound, then the full-hour chime.
    start_x 1024x768
    log="$work/sounds.log"
    start_clock "@2026-12-08 11:59:57" VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    noon=$(TZ=UTC date -d '2026-12-08 12:00:00' +%s)000
    for _ in $(seq 60); do
        grep -q ' ringin.wav$' "$log" 2>/dev/null && break
        sleep 0.1
    done
    [ -s "$log" ] || fail "no sound was logged"
    cat "$log"
    awk -v noon="$noon" '
        $1 >= noon && $1 < noon + 1000 && $2 == "ringin.wav" { if (tick) chime = 1 }
        $1 >= noon && $1 < noon + 1000 && $0 ~ / Windows XP Menü Komutu\.wav$/ { if (!chime) tick = 1 }
        $1 < noon && $2 == "ringin.wav" { early = 1 }
        END { exit !(tick && chime && !early) }' "$log" ||
        fail "expected the tick sound, then ringin.wav, in the second of 12:00:00"
    ;;
sound_log_unset)
    # Without VEMO_SOUND_LOG nothing is written: the clock's folders stay empty past noon.
    start_x 1024x768
    mkdir -p "$work/home"
    start_clock "@2026-12-08 11:59:58" HOME="$work/home"
    answer_prompt 'Ali'
    sleep 1.5
    kill -0 "$clock_pid" || fail "the clock ended"
    found=$(find "$work/home" "$work" -maxdepth 3 -newer "$work/display" -type f \
        ! -name '*.png' ! -name clock.log ! -name xvfb.log ! -path "$work/runtime/*" -print)
    [ -z "$found" ] || fail "files appeared: $found"
    ;;
dpi120 | dpi144)
    # As large in inches as at 96 dpi, drawn at the screen's own resolution.
    dpi=${scenario#dpi}
    start_x 1920x1200 "$dpi"
    xsetroot -solid '#00ff00' 2>/dev/null || true
    shot root
    start_clock "@2026-12-08 06:30:03"
    answer_prompt 'Ali'
    sleep 1.6
    shot clock
    # 712 px across at 96 dpi; the circle's left and top edges sit 12 and 13 px (96 dpi) into
    # the client area.
    read -r left top right bottom < <(awk -v d="$dpi" -v x="$client_x" -v y="$client_y" 'BEGIN {
        s = d / 96; printf "%d %d %d %d\n", x + 12 * s + 0.5, y + 13 * s + 0.5,
        x + 12 * s + 712 * s + 0.5, y + 13 * s + 712 * s + 0.5 }')
    tpp=$((1440 / dpi))
    echo "client at $client_x,$client_y; circle expected ($left,$top)-($right,$bottom)"
    # The 3 o'clock mark (blue, 3 px) crossed from above, and the second hand's edge.
    check clock "$tpp" "circle:$work/root.png:$left:$top:$right:$bottom:3:size" \
        "edge:9467,5377:0,1:20:paleyellow:blue:1" "clock:6:30:4:10"
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac
echo "PASS: $scenario"
