#!/usr/bin/env bash
# The clock as a screen reader reads it and a keyboard drives it: the real program on a display
# of its own, with an accessibility bus of its own (at-spi2-core's bus launcher on a private
# session bus), turned on as a screen reader turns it on, and read through AT-SPI.
#
#   run_accessible.sh <scenario>
#
# Environment: VEMO_BIN (the program), SHOT_CHECK (the screenshot checker), WORK_DIR (scratch
# space; a temporary folder when unset).
# Scenarios: reader (the tree, its names, roles and actions), keyboard (Tab and Space).
set -euo pipefail

scenario=${1:?scenario name}
: "${VEMO_BIN:?path of vemo2}" "${SHOT_CHECK:?path of shot_check}"
VEMO_BIN=$(realpath "$VEMO_BIN") SHOT_CHECK=$(realpath "$SHOT_CHECK")
bus_launcher=/usr/libexec/at-spi-bus-launcher
# The system's Python, which the Debian package of pyatspi is for.
python=/usr/bin/python3

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${WORK_DIR:-${TMPDIR:-/tmp}}/vemo-a11y-$scenario.XXXXXX")
# shellcheck source=../harness/launcher.sh
. "$here/../harness/launcher.sh"
trap cleanup EXIT
trap 'exit 130' INT TERM
need_tools Xvfb xdotool xwininfo dbus-daemon dbus-send
need_faketime
[ -x "$bus_launcher" ] || { echo "SKIP: at-spi2-core is not installed"; exit 77; }
"$python" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }

probe() { "$python" "$here/atspi_probe.py" "$@"; }

check() { # <shot> <fact>...
    local name=$1
    shift
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" "$SHOT_CHECK" "$work/$name.xwd" \
        "$client_x" "$client_y" 15 "$@" || fail "screenshot $name"
}

# A session bus of the scenario's own, and on it the accessibility bus, with IsEnabled and
# ScreenReaderEnabled set as a screen reader sets them on start. The launcher runs without the
# display: the bus's address reaches the clock through the session bus alone.
start_accessibility_bus() {
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/session-bus" \
        --print-address=4 4>"$work/session-bus.address" 2>"$work/dbus.log" &
    other_pids+=($!)
    local _
    for _ in $(seq 100); do
        [ -s "$work/session-bus.address" ] && break
        sleep 0.05
    done
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/session-bus.address")
    export DBUS_SESSION_BUS_ADDRESS
    env -u DISPLAY GSETTINGS_BACKEND=memory "$bus_launcher" --launch-immediately \
        >"$work/bus-launcher.log" 2>&1 &
    other_pids+=($!)
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
            grep -q 'boolean true' && break
        sleep 0.05
    done
    local property
    for property in IsEnabled ScreenReaderEnabled; do
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
            org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:$property \
            variant:boolean:true >/dev/null || fail "no accessibility bus: $(cat "$work/bus-launcher.log")"
    done
}

# The window's tree once the clock is on the bus.
tree() {
    local _
    for _ in $(seq 50); do
        probe tree >"$work/tree" 2>>"$work/probe.err" && { cat "$work/tree"; return 0; }
        sleep 0.1
    done
    fail "the clock is not on the accessibility bus: $(cat "$work/probe.err")"
}

# Waits until the tree holds a line that matches <pattern>.
wait_tree() { # <pattern> <what>
    local _
    for _ in $(seq 30); do
        tree | grep -qE "$1" && return 0
        sleep 0.1
    done
    cat "$work/tree"
    fail "$2"
}

expect_line() { # <pattern> <what>
    grep -qE "$1" "$work/tree" || { cat "$work/tree"; fail "$2"; }
}

# At 09:00 no hand lies near the bell: its focus mark is seen alone.
start_x 1024x768
start_accessibility_bus
log=$work/sounds.log
time_at_prompt="@2026-12-08 09:00:00"
start_clock "file:$time_at_prompt" "$VEMO_BIN" VEMO_SOUND_LOG="$log"
answer_prompt 'Ali'

case "$scenario" in
reader)
    # Every 20th tick hides the panel's text box and buttons: what follows must be done
    # before the 20th.
    echo "the tree at start:"
    tree
    for line in '^frame \| Tolvan Vemo$' '^  label \| (09:00:0[0-9])? \|' '^  label \| Ali \|' \
        "^  label \\| VEMO2 1.00 \\|" '^  push button \| Alarm ayarla \| .*\| showing$' \
        '^  label \| Alarm ayarla \|' '^  push button \| Kapat \| .*\| showing$' \
        '^  push button \| Saat ileri \| .*\| not showing$' \
        '^  text \| Alarm saati \| .*\| not showing$' \
        '^  push button \| Dakika ileri \| .*\| not showing$'; do
        expect_line "$line" "no line '$line'"
    done
    # The time label is read when asked: a second later it has moved on.
    wait_ticks "$log" 1 5
    time1=$(tree | awk -F' \\| ' 'NR == 2 {print $2}')
    sleep 1.1
    time2=$(tree | awk -F' \\| ' 'NR == 2 {print $2}')
    echo "the time label: $time1, a second later $time2"
    [[ $time1 =~ ^[0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] && [ "$time1" != "$time2" ] ||
        fail "the time label did not move on"

    # The bell's action opens the panel: the text box and the buttons show, named.
    probe press 'Alarm ayarla'
    wait_tree '^  text \| Alarm saati \| 00:00 \| showing$' "the bell's action did not open the panel"
    echo "the tree with the panel open:"
    cat "$work/tree"
    expect_line '^  label \| 08 Aralık 2026 \| ' "no date"
    expect_line '^  label \| Salı \| ' "no weekday"
    expect_line '^  push button \| Saat ileri \| .*\| showing$' "no hour button"
    expect_line '^  push button \| Dakika ileri \| .*\| showing$' "no minute button"
    probe press 'Saat ileri'
    wait_tree '^  text \| Alarm saati \| 01:00 \| showing$' "the hour button's action did not step the hour"
    [ "$(tick_count "$log")" -lt 20 ] || fail "too slow: the panel was hidden before it was read"

    # Kapat's action ends the program as a click does.
    probe press 'Kapat'
    wait_exit 3000 || fail "still running 3 s after Kapat's action"
    [ "$exit_status" -eq 0 ] || fail "exit status $exit_status: $(cat "$work/clock.err")"
    echo "Kapat's action ended the clock with status 0"
    ;;
keyboard)
    # No key yet: no mark. Tab reaches the bell, which is marked and has the focus; Space
    # opens the panel.
    xdotool windowfocus --sync "$clock_window"
    sleep 0.3
    bell_left_edge=5235,7950,30,420 # the mark's 2-pixel frame left of the bell, twips
    shot before
    check before "box:$bell_left_edge:black:0:0.2"
    xdotool key Tab
    sleep 0.3
    [ "$(probe focused)" = 'Alarm ayarla' ] || fail "Tab did not reach the bell: $(probe focused)"
    xdotool key space
    wait_tree '^  text \| Alarm saati \| 00:00 \| showing$' "Space on the bell did not open the panel"
    sleep 0.2
    shot opened
    check opened "box:$bell_left_edge:black:0.8" "box:5040,8400,975,375:white:0.3"
    # Tab goes on into the panel; Space on the hour button steps the hour.
    xdotool key Tab
    sleep 0.2
    [ "$(probe focused)" = 'Saat ileri' ] || fail "Tab did not reach the hour button: $(probe focused)"
    xdotool key space
    wait_tree '^  text \| Alarm saati \| 01:00 \| showing$' "Space on the hour button did not step the hour"
    echo "Tab reached the bell and the hour button; Space opened the panel and stepped the hour"
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac
echo "PASS: $scenario"
