#!/usr/bin/env bash
# Runs the clock on a Wayland compositor (weston, drawing with pixman) and checks that it is
# round on the screen: the desktop shows in the corners outside the circle, the dial reaches
# the circle's edge, and it ticks.
#
#   run_wayland.sh xwayland|native
#
# xwayland: a headless weston with XWayland; the clock is an X client, as on a desktop session
#   that sets both DISPLAY and WAYLAND_DISPLAY, and keeps the place start-up gives it.
# native:   weston's X11 back end inside an Xvfb, which gives the compositor a seat; the clock
#   talks Wayland alone and the compositor places it. xdotool works on the Xvfb, and its
#   framebuffer file has the screen.
#
# Environment: VEMO_BIN, SHOT_CHECK, WORK_DIR as for tests/e2e/run_scenario.sh.
set -euo pipefail

scenario=${1:?xwayland or native}
: "${VEMO_BIN:?path of vemo2}" "${SHOT_CHECK:?path of shot_check}"
VEMO_BIN=$(realpath "$VEMO_BIN") SHOT_CHECK=$(realpath "$SHOT_CHECK")

work=$(mktemp -d "${WORK_DIR:-${TMPDIR:-/tmp}}/vemo-wayland-$scenario.XXXXXX")
# shellcheck source=../harness/launcher.sh
. "$(dirname "$0")/../harness/launcher.sh"
trap cleanup EXIT
trap 'exit 130' INT TERM
need_tools weston Xwayland weston-screenshooter Xvfb xdotool xwininfo convert compare
need_faketime

# The compositor's socket lives here: a short path, as a socket's name has at most 107 bytes.
runtime=$(mktemp -d /tmp/vemo-wayland.XXXXXX)
scratch_dirs+=("$runtime")
mkdir -p "$work/shots" && chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
socket=vemo-wayland-$$
# A known desktop colour, #208020, and nothing else on the screen.
cat >"$work/weston.ini" <<'EOF'
[core]
idle-time=0
[shell]
background-color=0xff208020
panel-position=none
EOF

start_weston() { # <backend> [option...]
    local backend=$1
    shift
    weston --config="$work/weston.ini" --backend="$backend" --use-pixman --width=1024 \
        --height=768 --socket="$socket" "$@" >"$work/weston.log" 2>&1 &
    other_pids+=($!)
    for _ in $(seq 100); do
        [ -S "$XDG_RUNTIME_DIR/$socket" ] && return 0
        sleep 0.1
    done
    fail "weston did not start: $(tail -n 20 "$work/weston.log")"
}

wait_for() { # <what> <command...>: until the command succeeds, 10 s at most
    local what=$1
    shift
    for _ in $(seq 100); do
        "$@" && return 0
        [ -z "$clock_pid" ] || alive || fail "the clock ended early: $(cat "$work/clock.err")"
        sleep 0.1
    done
    fail "no $what"
}

has_window() { [ -n "$(window_of "$1")" ]; }

# The whole output, as $work/<name>.$ext. Under XWayland weston's own screenshooter reads what
# the compositor shows: an X screenshot of XWayland would show the X windows' contents, shape
# and all, whatever weston draws. Natively, the Xvfb that weston draws into has it all.
if [ "$scenario" = xwayland ]; then
    ext=png
    shot() {
        rm -f "$work/shots"/*.png
        (cd "$work/shots" && WAYLAND_DISPLAY="$socket" weston-screenshooter) ||
            fail "weston-screenshooter: $(tail -n 5 "$work/weston.log")"
        mv "$work/shots"/*.png "$work/$1.png"
    }
else
    ext=xwd
fi

pixel() { convert "$work/$1.$ext" -format "%[pixel:p{$2,$3}]" info:; }

facts() { # <shot> <fact>...
    local name=$1
    shift
    QT_QPA_PLATFORM=offscreen "$SHOT_CHECK" "$work/$name.$ext" "$client_x" "$client_y" 15 "$@"
}
check() { facts "$@" || fail "screenshot $1"; }

# For the native run, where no window can be looked up: the bare desktop is drawn, or the
# screen differs from it, or (changed_box) the bounding box of what differs from it, as
# <width> <height> <left> <top>, or that box is a window's width.
desktop_drawn() { shot desktop && [ "$(pixel desktop 300 300)" = "srgb(32,128,32)" ]; }
screen_changed() {
    shot now && [ "$(compare -metric AE "$work/desktop.$ext" "$work/now.$ext" null: 2>&1)" != 0 ]
}
changed_box() { # <shot>
    local box
    box=$(convert "$work/desktop.$ext" "$work/$1.$ext" -compose difference -composite \
        -threshold 0 -format '%@' info:)
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && echo "${BASH_REMATCH[*]:1}"
}
clock_shown() {
    local width
    shot placed && read -r width _ < <(changed_box placed) && [ "$width" -gt 700 ]
}

case "$scenario" in
xwayland)
    # Xwayland listens in the usual folder, which only an X server creates.
    [ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix ||
        { echo "SKIP: no /tmp/.X11-unix for Xwayland"; exit 77; }
    start_weston headless-backend.so --xwayland --debug
    wait_for "XWayland display" grep -q 'xserver listening on display' "$work/weston.log"
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
    export DISPLAY=$display WAYLAND_DISPLAY=$socket
    start_clock "@2026-12-08 06:30:03" "$VEMO_BIN"
    # A pointer moved by xdotool crashes a headless Xwayland; keys sent to a window work.
    wait_for "name prompt" has_window 'Vemo [?]'
    prompt=$(window_of 'Vemo [?]')
    sleep 0.3
    xdotool type --window "$prompt" --delay 80 Ali 2>/dev/null
    # Return closes the prompt under xdotool's feet, and it reports a bad window: the clock
    # window's appearance is the check.
    xdotool key --window "$prompt" Return 2>/dev/null || true
    wait_for "clock window" has_window 'Tolvan Vemo'
    # Start-up's place on 1024 x 768, as on a bare X server: the circle spans (158,53)-(870,765).
    # The window manager first maps the window inside its frame, then moves it there.
    client_at() {
        read -r client_x client_y < <(xwininfo -id "$(window_of 'Tolvan Vemo')" |
            awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
        [ "$client_x,$client_y" = "$1" ]
    }
    for _ in $(seq 50); do
        client_at 146,40 && break
        sleep 0.1
    done
    [ "$client_x,$client_y" = "146,40" ] || fail "client area at $client_x,$client_y, not 146,40"
    ;;
native)
    start_x 1024x768
    start_weston x11-backend.so
    # The pointer out of the way, in both the bare and the later screenshots.
    xdotool mousemove 1020 760
    wait_for "desktop" desktop_drawn
    # Qt takes Wayland when no X display is named.
    start_clock "@2026-12-08 06:30:03" "$VEMO_BIN" -u DISPLAY XDG_RUNTIME_DIR="$runtime" \
        WAYLAND_DISPLAY="$socket"
    wait_for "name prompt" screen_changed
    sleep 0.5
    # Keys typed on the Xvfb reach weston's window, and through it the focused prompt.
    xdotool type --delay 80 Ali
    xdotool key Return
    wait_for "clock window" clock_shown
    sleep 0.5
    # The compositor's place: the window is where the screen differs from the bare desktop.
    shot placed
    read -r width height left top < <(changed_box placed)
    echo "changed pixels: ${width}x$height at $left,$top"
    # The circle of 712 pixels sits 12 and 13 pixels into the client area.
    client_x=$((left - 12)) client_y=$((top - 13))
    check placed "circle:$work/desktop.$ext:$left:$top:$((left + 712)):$((top + 712)):2"
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac

echo "client area at $client_x,$client_y"
# Outside the circle, in each corner of the window: the desktop. weston draws a shadow under an
# undecorated X window's edges, 34 pixels in, so the boxes lie between it and the circle.
corners=("box:540,540,900,900:#208020:1" "box:9645,540,900,900:#208020:1"
    "box:540,9750,900,900:#208020:1" "box:9645,9750,900,900:#208020:1")
# Along each diagonal the desktop meets the dial at the circle's edge, with the dark red rim
# and the pale outline between them.
edges=("edge:1440,1455:1,1:34:#208020:olive:6" "edge:9600,1455:-1,1:34:#208020:olive:6"
    "edge:1440,9615:1,-1:34:#208020:olive:6" "edge:9600,9615:-1,-1:34:#208020:olive:6")
# Until the compositor shows the first tick and the prompt's closing fade is over, 10 s at most.
deadline=$((SECONDS + 10))
until { shot first && facts first "${corners[@]}" "clock:6:30:4:20" >/dev/null; } ||
    [ "$SECONDS" -ge "$deadline" ]; do
    sleep 0.2
done
check first "${corners[@]}" "${edges[@]}" "clock:6:30:4:20"
sleep 1.2
shot second
check second "${corners[@]}" "${edges[@]}" "clock:6:30:5:22"
# It ticks: the time label differs between the two.
label="161x33+$((client_x + 288))+$((client_y + 168))"
differing=$(compare -metric AE "$work/first.$ext[$label]" "$work/second.$ext[$label]" null: 2>&1 || true)
echo "time label: $differing pixels differ"
[ "${differing%% *}" -gt 20 ] 2>/dev/null || fail "the time label did not change"
echo "PASS: $scenario"
