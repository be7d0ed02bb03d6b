#!/usr/bin/env bash
# Runs the clock as a user would, on a display of its own, and checks what the screen shows.
#
#   run_scenario.sh <scenario>
#
# Environment: VEMO_BIN (the program), SHOT_CHECK (the screenshot checker), VEMO_SANITIZE
# (ON in the sanitizer build), WORK_DIR (scratch space; a temporary folder when unset).
# Scenarios: prompt circle hands ticking alarm kapat chime sound_log_unset dpi60 dpi120 dpi144
# clockstep summertime zone.
set -euo pipefail

scenario=${1:?scenario name}
: "${VEMO_BIN:?path of vemo2}" "${SHOT_CHECK:?path of shot_check}"
VEMO_BIN=$(realpath "$VEMO_BIN") SHOT_CHECK=$(realpath "$SHOT_CHECK")
sanitize=${VEMO_SANITIZE:-OFF}

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${WORK_DIR:-${TMPDIR:-/tmp}}/vemo-e2e-$scenario.XXXXXX")
# shellcheck source=../harness/launcher.sh
. "$here/../harness/launcher.sh"
trap cleanup EXIT
trap 'exit 130' INT TERM
need_tools Xvfb xdotool xwininfo convert
need_faketime

check() { # <shot> <twips per pixel> <fact>...
    local name=$1 tpp=$2
    shift 2
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" "${emulator[@]}" "$SHOT_CHECK" "$work/$name.xwd" "$client_x" "$client_y" "$tpp" "$@" ||
        fail "screenshot $name"
}

# The clock started at a time of day that holds from when the prompt shows, however long the
# machine takes to show it.
start_clock_at() { # <hh:mm:ss> [VAR=value...]
    time_at_prompt="@2026-12-08 $1"
    start_clock "file:$time_at_prompt" "$VEMO_BIN" "${@:2}"
}

# Waits for <n> ticks of a clock started with VEMO_SOUND_LOG=$work/sounds.log, and for the
# repaint after the last of them.
after_ticks() { # <n>
    wait_ticks "$work/sounds.log" "$1" 5
    sleep 0.3
}

# Unix ms of a time in UTC; the time of unix ms as the clock's zone shows it, HH.MM.SS.
ms_of() { echo "$(TZ=UTC date -d "$1" +%s)000"; }
hms_at() { TZ=${clock_tz:-UTC} date -d "@$(($1 / 1000))" +%H.%M.%S; }

# Awk functions on a time shown, HH.MM.SS: where it puts the minute or the hour hand, degrees,
# and how far apart two directions are.
hand_angles='
    function angle(t, hand,  p) {
        split(t, p, ".")
        return hand == "minute" ? p[2] * 6 - 90 + p[3] / 10 : p[1] * 30 - 90 + (p[2] * 60 + p[3]) / 120
    }
    function apart(a, b,  d) {
        d = (a - b) % 360
        if (d < 0) d = -d
        return d > 180 ? 360 - d : d
    }'

# Facts on the hands at a time shown: where the time puts them (the second hand one second off
# at most, for a screenshot taken as the second turns), and given the time shown before, no
# minute or hour hand left where that time put it.
hand_facts() { # <time shown> [<time shown before>]
    awk -v now="$1" -v was="${2:-}" "$hand_angles"'
        BEGIN {
            split(now, n, "."); s = n[3] + 0
            printf "clock:%d:%d:%d:%d\n", n[1], n[2], (s > 0 ? s - 1 : 0), (s < 59 ? s + 1 : 59)
            if (was == "") exit
            if (apart(angle(was, "minute"), angle(now, "minute")) > 10)
                printf "along:minute:%.2f:black:0:0.3\n", angle(was, "minute")
            if (apart(angle(was, "hour"), angle(now, "hour")) > 10)
                printf "along:hour:%.2f:navy:0:0.3\n", angle(was, "hour")
        }'
}

# Whether the second hand, in this second or the next, lies within 15 degrees of the minute or
# the hour hand, by its tip or its tail: it would hide them from the checks.
hands_clash() { # <time shown>
    awk -v t="$1" "$hand_angles"'
        BEGIN {
            split(t, p, "."); m = angle(t, "minute"); h = angle(t, "hour")
            for (s = p[3]; s <= p[3] + 1; ++s) {
                a = s * 6 - 90
                if (apart(a, m) < 15 || apart(a + 180, m) < 15 || apart(a, h) < 15 || apart(a + 180, h) < 15)
                    exit 0
            }
            exit 1
        }'
}

# A screenshot of a clock started with VEMO_SOUND_LOG=$log, checked against the second of the
# tick logged before and after it: the time label shows that second, and the hands as
# hand_facts says. Taken once the second hand is clear of the others. Sets $shown to the
# second, HH.MM.SS.
shows_time() { # <shot name> [<time shown before>]
    local before after facts _
    for _ in $(seq 20); do
        hands_clash "$(hms_at "$(log_ms "$log")")" || break
        sleep 0.5
    done
    for _ in 1 2 3; do
        before=$(log_ms "$log")
        shot "$1"
        after=$(log_ms "$log")
        [ $((before / 1000)) -eq $((after / 1000)) ] && break
    done
    shown=$(hms_at "$before")
    facts=$(hand_facts "$shown" "${2:-}") || fail "no facts on the hands at $shown"
    mapfile -t facts <<<"$facts"
    check "$1" 15 "time:$shown:0.8:$(hms_at $((before - 1000)))|$(hms_at $((before + 1000)))${2:+|$2}" \
        "${facts[@]}"
}

# A click on Kapat: the clock ends within a second (three in the sanitizer build), with status 0.
click_kapat() { # [twips a pixel]
    local clicked limit=1000
    click_twips 5527 9187 "${1:-15}"
    clicked=$(now_ms)
    [ "$sanitize" = ON ] && limit=3000
    wait_exit "$limit" || fail "still running ${limit} ms after the click on Kapat"
    echo "ended $(($(now_ms) - clicked)) ms after the click, status $exit_status"
    [ "$exit_status" -eq 0 ] || fail "exit status $exit_status: $(cat "$work/clock.err")"
}

# Boxes of the window description, twips: left,top,width,height.
name_box=1920,6240,7215,1215
bell_box=5280,7920,480,480
kapat_box=4920,9000,1215,375
below_kapat=4920,9390,1215,120
text_box=5040,8400,975,375
hour_button=4800,8400,255,375
minute_button=6000,8400,255,375

case "$scenario" in
prompt)
    # The name prompt comes first; the name shows proper-cased, Turkish letters and all.
    start_x 1024x768
    start_clock "@2026-12-08 06:30:03" "$VEMO_BIN"
    wait_window 'Vemo [?]' >/dev/null
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
    start_clock "@2026-12-08 06:30:03" "$VEMO_BIN"
    answer_prompt 'x'
    sleep 0.3
    shot clock
    check clock 15 "circle:$work/root.xwd:158:53:870:765:2"
    ;;
hands)
    # Shortly after 06:30:05, after the first tick.
    start_x 1024x768
    start_clock_at 06:30:03 VEMO_SOUND_LOG="$work/sounds.log"
    answer_prompt 'Ali'
    after_ticks 1
    shot hands
    # The minute hand points down: over the name, behind "Kapat", out again below it.
    check hands 15 "clock:6:30:4:10" \
        "along:minute:90.5:black:0.9:1:$name_box" \
        "along:minute:90.5:paleyellow:0.4:1:$kapat_box" \
        "along:minute:90.5:black:0:0.2:$kapat_box" \
        "along:minute:90.5:black:0.9:1:$below_kapat" \
        "along:hour:105.04:navy:0.8:1:$name_box"
    ;;
ticking)
    # The time label and the hands follow the ticks: two screenshots two seconds apart, each
    # showing the second of the tick logged around it, the second not the first's. At 03:26 the
    # hour and minute hands lie between 3 and 5 o'clock, and the minute hand's tail near 8:
    # clear of the second hand and its tail for the first 13 seconds, so the shots need not
    # wait for it.
    start_x 1024x768
    log=$work/sounds.log
    start_clock_at 03:26:00 VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    sleep 2.3
    shows_time first
    was=$shown
    sleep 2
    shows_time second "$was"
    [ "$shown" != "$was" ] || fail "the time stood still at $shown"
    ;;
alarm)
    # Three times as fast. Every 20th tick since start-up hides the panel's text box and
    # buttons: the bell is clicked just after such a tick, which leaves 19 ticks (6.3 s) for
    # the clicks and the checks of the open panel, and the next 20th tick hides it again.
    start_x 1024x768
    log=$work/sounds.log
    start_clock "@2026-12-08 06:30:03 x3" "$VEMO_BIN" VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    shot closed
    check closed 15 "box:$text_box:white:0:0.05" "along:alarm:-90:red:0:0.05"
    wait_ticks "$log" 20
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
    [ "$(tick_count "$log")" -lt 40 ] || fail "too slow: the panel was hidden before it was checked"
    check three 15 "along:alarm:0:red:0.5" "along:alarm:-90:red:0:0.05" "box:$text_box:white:0.3"
    wait_ticks "$log" 41
    shot hidden
    check hidden 15 "box:$text_box:white:0:0.05" "box:$hour_button:paleyellow:0.6" \
        "box:$minute_button:paleyellow:0.6"
    ;;
kapat)
    start_x 1024x768
    start_clock "@2026-12-08 06:30:03" "$VEMO_BIN"
    answer_prompt 'Ali'
    sleep 0.3
    click_kapat
    ;;
chime)
    # Just before noon: the noon tick asks for the tick sound, then the full-hour chime. The
    # clock is set to 11:59:57 once its window shows, however long that took.
    start_x 1024x768
    log="$work/sounds.log"
    start_clock_at 11:59:30 VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    set_faked_time "@2026-12-08 11:59:57"
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
    start_clock "@2026-12-08 11:59:58" "$VEMO_BIN" HOME="$work/home"
    answer_prompt 'Ali'
    sleep 1.5
    kill -0 "$clock_pid" || fail "the clock ended"
    found=$(find "$work/home" "$work" -maxdepth 3 -newer "$work/display" -type f \
        ! -name '*.xwd' ! -name 'clock.*' ! -name xvfb.log ! -path "$work/runtime/*" \
        ! -path "$work/fb/*" -print)
    [ -z "$found" ] || fail "files appeared: $found"
    ;;
dpi60 | dpi120 | dpi144)
    # As large in inches as at 96 dpi, drawn at the screen's own resolution. At 60 dpi on the
    # 800 x 480 of a Raspberry Pi's touchscreen, where 96 dpi puts the bell and Kapat off the
    # screen, the whole circle shows.
    dpi=${scenario#dpi}
    screen=1920x1200
    [ "$dpi" = 60 ] && screen=800x480
    start_x "$screen" "$dpi"
    xsetroot -solid '#00ff00' 2>/dev/null || true
    shot root
    start_clock_at 06:30:03 VEMO_SOUND_LOG="$work/sounds.log"
    answer_prompt 'Ali'
    after_ticks 1
    shot clock
    # The circle's region, in pixels of the window drawn: its left and top edges 12 and 13 px
    # into the client area, its right and bottom ones at 10920 and 11320 twips of the outer
    # window, whose client area begins 4 and 30 px in (712 px across at 96 dpi). Above 96 dpi Qt
    # scales the window, drawn at 15 twips a pixel, by dpi / 96; below, it leaves the scale at 1
    # and the clock draws at 1440 / dpi twips a pixel itself.
    read -r left top right bottom < <(awk -v d="$dpi" -v x="$client_x" -v y="$client_y" 'BEGIN {
        s = d > 96 ? d / 96 : 1; t = 1440 / d * s
        printf "%d %d %d %d\n", x + 12 * s + 0.5, y + 13 * s + 0.5,
            x + s * (int(10920 / t + 0.5) - 4) + 0.5, y + s * (int(11320 / t + 0.5) - 30) + 0.5 }')
    tpp=$((1440 / dpi))
    echo "client at $client_x,$client_y; circle expected ($left,$top)-($right,$bottom)"
    # The 3 o'clock mark (blue, 3 px) crossed from above, and the second hand's edge.
    check clock "$tpp" "circle:$work/root.xwd:$left:$top:$right:$bottom:3:size" \
        "edge:9467,5377:0,1:20:paleyellow:blue:1" "clock:6:30:4:10"
    if [ "$dpi" = 60 ]; then
        [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ "$right" -le 800 ] && [ "$bottom" -le 480 ] ||
            fail "the circle leaves the screen"
        # The bell's red body, half hidden by the minute hand at 06:30, and Kapat's ground.
        check clock "$tpp" "box:$bell_box:#e01010:0.1" "box:$kapat_box:paleyellow:0.6"
        click_kapat "$tpp"
    fi
    ;;
clockstep)
    # The system clock set back an hour, forward two, forward again to 09:10, then moved on
    # while the clock was stopped (a suspend): the time label and the hands follow within 2 s,
    # and from then on every second has its tick, and its chime on the half hour, once.
    start_x 1024x768
    log=$work/sounds.log
    start_clock "file:@2026-12-08 06:29:57" "$VEMO_BIN" VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    sleep 2.3
    shows_time start
    for step in 05:30:00 07:30:00 09:10:00; do
        was=$shown
        lines=$(wc -l <"$log")
        set_faked_time "@2026-12-08 $step"
        from=$(ms_of "2026-12-08 $step")
        sleep 2.2
        # A tick logged just after the step may still have read the time before it: ticks are
        # told apart by the time they read, which the step put an hour or more away.
        first=$(awk -v n="$lines" -v from="$from" 'NR > n && $1 >= from && $1 < from + 60000 {
            print $1; exit }' "$log")
        echo "set to $step: first tick $((first - from)) ms after it"
        [ -n "$first" ] && [ $((first - from)) -lt 2000 ] || fail "no tick within 2 s of $step"
        shows_time "at$step" "$was"
        sleep 2
        shows_time "after$step"
        # Every second from the step on: one tick, and the chime of hh:30:00.
        awk -v n="$lines" -v from="$from" -v to=$((from + 4000)) 'NR > n && $1 >= from && $1 < to' \
            "$log" >"$work/seg.log"
        awk -v alarm= -f "$harness/check_sounds.awk" "$work/seg.log" ||
            fail "the seconds after $step"
    done
    # A suspend: the clock stopped while the time moves on more than five hours.
    was=$shown
    kill -STOP "$clock_pid"
    set_faked_time "@2026-12-08 14:25:00"
    sleep 2
    kill -CONT "$clock_pid"
    sleep 1.5
    shows_time resumed "$was"
    ;;
summertime)
    # In Berlin, across the start of summer time (02:00 CET becomes 03:00 CEST) and its end
    # (03:00 CEST becomes 02:00 CET): the time label and the hands take the new hour at once.
    start_x 1024x768
    log=$work/sounds.log clock_tz=Europe/Berlin
    start_clock "file:@2026-03-29 01:59:00" "$VEMO_BIN" TZ=$clock_tz VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    for change in "2026-03-29 01:00:00" "2026-10-25 01:00:00"; do
        # 12 s before the change, given as an offset from the real clock: 02:59:48 comes twice
        # on the autumn night.
        offset=$(($(ms_of "$change") / 1000 - 12 - $(date +%s)))
        set_faked_time "$([ "$offset" -ge 0 ] && echo +)$offset"
        sleep 2
        shows_time "before-${change% *}"
        was=$shown
        sleep 10
        shows_time "after-${change% *}" "$was"
    done
    ;;
zone)
    # The system's zone changed from Istanbul to London while the clock runs, as a change of
    # /etc/localtime does: the time label and the hands go back three hours. The clock runs in
    # a mount namespace of its own, where /etc/localtime is a file of the scenario's.
    [ "$(id -u)" -eq 0 ] || { echo "SKIP: a mount namespace of its own needs root"; exit 77; }
    need_tools unshare mount
    log=$work/sounds.log clock_tz=Europe/Istanbul
    cp "/usr/share/zoneinfo/$clock_tz" "$work/localtime"
    cat >"$work/in-zone" <<EOF
#!/bin/sh
unset TZ
exec unshare -m --propagation private sh -c 'mount --bind "$work/localtime" /etc/localtime && exec "$VEMO_BIN"'
EOF
    chmod +x "$work/in-zone"
    start_x 1024x768
    start_clock "file:@2026-12-08 09:10:00" "$work/in-zone" VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    sleep 2.3
    shows_time istanbul
    was=$shown
    # Written in place, as the bind mount holds the file.
    cat "/usr/share/zoneinfo/Europe/London" >"$work/localtime"
    clock_tz=Europe/London
    sleep 2
    shows_time london "$was"
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac
echo "PASS: $scenario"
