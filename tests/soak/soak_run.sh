#!/usr/bin/env bash
# Accelerated soak of the real clock: the time of day faked by libfaketime and sped up, through
# midnight, for as many simulated seconds as asked. Checks that the clock stays up, that every
# faked second has exactly one tick sound and the chimes of that second (full and half hours,
# the alarm minute set through the bell panel), that its resident memory stops growing after
# the warm-up, that the date label changes at midnight, and that Kapat still ends it with 0.
#
# Environment (all optional but VEMO_BIN, SOAK_PIXELS, STALL_WATCH and SHOT_CHECK):
#   VEMO_BIN       the program                     SOAK_PIXELS  the screenshot counter
#   STALL_WATCH    tests/harness/stall_watch       SHOT_CHECK   the screenshot checker
#   SOAK_START     first faked instant, UTC        default "2026-12-08 23:52:00"
#   SOAK_SECONDS   simulated seconds to run        default 2400 (to 00:32)
#   SOAK_RATE      faked seconds a real second     default 60; faster, the sound requests and
#                  the date label are not checked (a small machine skips seconds), only
#                  that the clock lives, its memory and Kapat
#   SOAK_ALARM_HOURS, SOAK_ALARM_STEPS  clicks on the hour and the 12-minute button after the
#                  click on the bell               default 0 and 1: alarm 00:12
#   SOAK_RSS_WARMUP  simulated seconds before the memory baseline  default 3600, or half of a
#                  run shorter than 2 h
#   SOAK_RSS_LIMIT_KB  allowed growth after the baseline, kB  default 1024
#   SOAK_KEEP      set: keep the scratch folder    WORK_DIR  where to put it
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${VEMO_BIN:?path of vemo2}" "${SOAK_PIXELS:?path of soak_pixels}" "${STALL_WATCH:?path of stall_watch}"
: "${SHOT_CHECK:?path of shot_check}"
VEMO_BIN=$(realpath "$VEMO_BIN") SOAK_PIXELS=$(realpath "$SOAK_PIXELS") STALL_WATCH=$(realpath "$STALL_WATCH")
SHOT_CHECK=$(realpath "$SHOT_CHECK")
start_text=${SOAK_START:-2026-12-08 23:52:00}
seconds=${SOAK_SECONDS:-2400}
rate=${SOAK_RATE:-60}
alarm_hours=${SOAK_ALARM_HOURS:-0}
alarm_steps=${SOAK_ALARM_STEPS:-1}
# Memory settles within the first simulated minutes; the baseline is taken after the first
# simulated hour (half of a shorter run), and the rest of the run may add less than 1 MB.
if [ "$seconds" -ge 7200 ]; then warmup=3600; else warmup=$((seconds / 2)); fi
rss_limit=1024
warmup=${SOAK_RSS_WARMUP:-$warmup}
rss_limit=${SOAK_RSS_LIMIT_KB:-$rss_limit}

work=$(mktemp -d "${WORK_DIR:-${TMPDIR:-/tmp}}/vemo-soak.XXXXXX")
# shellcheck source=../harness/launcher.sh
. "$here/../harness/launcher.sh"
trap cleanup EXIT
trap 'exit 130' INT TERM
need_tools Xvfb xdotool xwininfo
# The report stays with the scratch folder that a failed run keeps.
exec > >(tee "$work/report.log") 2>&1

log=$work/sounds.log
start_s=$(TZ=UTC date -d "$start_text" +%s)
end_ms=$(((start_s + seconds) * 1000))
midnight_s=$(((start_s / 86400 + 1) * 86400))
steps=$((alarm_hours + alarm_steps / 5))
alarm=$(printf '%02d:%02d' $((steps % 24)) $((alarm_steps % 5 * 12)))
echo "faked $start_text UTC x$rate for $seconds s; alarm $alarm; RSS baseline after $warmup s"

real_started=$(now_ms)
start_x 1024x768
start_clock "@$start_text x$rate" "$VEMO_BIN" VEMO_SOUND_LOG="$log"
start_stall_watch "$log"
answer_prompt 'Soak'
echo "client origin $client_x,$client_y"

# Every 20th tick since start-up hides the panel's buttons; the clicks go in just after one
# such tick so that the buttons are still there for the next 19. A click can still be lost at
# this speed: the red hand tells whether the alarm took, and if not, the panel is opened
# afresh after the next 20th tick hides it. A click on the bell opens a closed panel at 00:00
# but closes an open one, so a try that left the hand showing closes it first.
alarm_angle=$((-90 + 30 * alarm_hours + 6 * alarm_steps))
# Where a try can leave the hand: 12 after the bell, 30 degrees on for each hour click and 6 for
# each 12-minute click, stopped short by a lost click.
hand_angles=()
for ((i = 0; i <= alarm_hours; i++)); do hand_angles+=($((-90 + 30 * i))); done
for ((i = 1; i <= alarm_steps; i++)); do hand_angles+=($((-90 + 30 * alarm_hours + 6 * i))); done
# The hand's outer part, 3100 to 3600 twips from the centre: the time, date and weekday labels
# are drawn over its middle, and the hands over its inner part.
alarm_hand_at() { # <degrees>: the fact that the red hand's outer part shows at that angle
    awk -v d="$1" 'BEGIN {
        a = d * 3.14159265 / 180; c = cos(a); s = sin(a)
        x1 = 5520 + 3100 * c; y1 = 5520 + 3100 * s; x2 = 5520 + 3600 * c; y2 = 5520 + 3600 * s
        l = x1 < x2 ? x1 : x2; t = y1 < y2 ? y1 : y2
        printf "along:alarm:%d:red:0.6:1:%d,%d,%d,%d\n", d, l - 45, t - 45,
            (x1 < x2 ? x2 - x1 : x1 - x2) + 90, (y1 < y2 ? y2 - y1 : y1 - y2) + 90 }'
}
hand_facts=()
for a in "${hand_angles[@]}"; do hand_facts+=("$(alarm_hand_at "$a")"); done
# The angle the hand shows at, or nothing. Two shots three faked seconds apart: the second hand
# passes over the red one for a second a minute.
shown_angle() { # <shot name>
    local take
    for take in a b; do
        shot "$1$take"
        { QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" "$SHOT_CHECK" \
            "$work/$1$take.xwd" "$client_x" "$client_y" 15 "${hand_facts[@]}" || true; } |
            awk -F: '$1 == "ok   along" { print $3; found = 1; exit } END { exit !found }' && return
        sleep 0.05
    done
}
next_window=1
for attempt in 1 2 3 4; do
    for _ in $(seq 2000); do
        n=$(tick_count "$log")
        [ "$n" -ge "$next_window" ] && [ $((n % 20)) -ge 1 ] && [ $((n % 20)) -le 6 ] && break
        alive || fail "the clock ended: $(cat "$work/clock.err")"
        sleep 0.005
    done
    clicks=(mousemove $((client_x + 368)) $((client_y + 544)) click 1 sleep 0.05)
    for _ in $(seq "$alarm_hours"); do
        clicks+=(mousemove $((client_x + 328)) $((client_y + 572)) click 1 sleep 0.02)
    done
    for _ in $(seq "$alarm_steps"); do
        clicks+=(mousemove $((client_x + 408)) $((client_y + 572)) click 1 sleep 0.02)
    done
    xdotool "${clicks[@]}" mousemove 0 0
    sleep 0.1
    shown=$(shown_angle "alarm-$attempt")
    [ "$shown" = "$alarm_angle" ] && break
    [ "$attempt" -lt 4 ] || fail "the alarm did not take in $attempt tries"
    if [ -n "$shown" ]; then
        echo "the alarm did not take (try $attempt: the red hand at $shown degrees); closed, and"\
            "opened again once the panel has hidden"
        click_client 368 544
    else
        echo "the alarm did not take (try $attempt: no red hand); again once the panel has hidden"
    fi
    next_window=$(((n / 20 + 1) * 20 + 1))
done
set_at=$(log_ms "$log")
echo "alarm set around faked $(TZ=UTC date -d "@$((set_at / 1000))" +%T) (tick $(tick_count "$log"))"
# The prompt and the clicks go through the X server, which holds the clock's repaint back
# meanwhile: the seconds are counted from the second after the last click on. Nothing after
# it talks to the server until Kapat.
count_from=$((set_at / 1000 + 2))
# Until the minute button's click lands the alarm reads 00:00, a minute that must not start
# before it does.
[ "$alarm" = 00:00 ] || [ "$set_at" -lt $(((midnight_s - 5) * 1000)) ] ||
    [ "$set_at" -gt $(((midnight_s + 60) * 1000)) ] ||
    fail "the alarm was set too near midnight; start earlier"

wait_faked() { # <unix ms>: sleeps until the log reaches that faked time
    while [ "$(log_ms "$log")" -lt "$1" ]; do
        alive || fail "the clock ended: $(cat "$work/clock.err")"
        sleep 0.02
    done
}

# The date label, client twips 3960,3240 wide 3135, down to the weekday label's top (3600).
date_box=($((client_x + 264)) $((client_y + 216)) $((client_x + 473)) $((client_y + 240)))
date_shots=()
rss_log=$work/rss.log
: >"$rss_log"
rss_sample() {
    local kb
    kb=$(rss_kb)
    [ -n "$kb" ] && echo "$(log_ms "$log") $kb" >>"$rss_log"
}
# Shots of the date label on one side of midnight: each one counts where the faked time read
# just before it and just after it are both on that side, a second or more from midnight; a busy
# machine may take a shot late. Until <count> have been taken, or the faked time reaches <until>.
date_shots_between() { # <group> <count> <from ms> <until ms>
    local group=$1 count=$2 from=$3 until=$4 taken=0 before after
    wait_faked "$from"
    while [ "$taken" -lt "$count" ]; do
        before=$(log_ms "$log")
        [ "$before" -lt "$until" ] || break
        shot "date-$group-$taken"
        after=$(log_ms "$log")
        if [ "$after" -lt "$until" ]; then
            echo "  date shot $group-$taken at faked $(TZ=UTC date -d "@$((before / 1000))" +%T)"
            date_shots+=("$work/date-$group-$taken.xwd")
            taken=$((taken + 1))
            sleep 0.1 # six faked seconds: the second hand elsewhere
        fi
    done
    date_count[$group]=$taken
}
declare -A date_count=()
if [ "$midnight_s" -lt $((start_s + seconds - 60)) ]; then
    # Two pairs of shots in the last minute before midnight, and a pair after it.
    date_shots_between a 2 $(((midnight_s - 55) * 1000)) $(((midnight_s - 31) * 1000))
    date_shots_between b 2 $(((midnight_s - 30) * 1000)) $(((midnight_s - 1) * 1000))
    date_shots_between c 2 $(((midnight_s + 5) * 1000)) $(((midnight_s + 50) * 1000))
fi

next_sample=0
while [ "$(log_ms "$log")" -lt "$end_ms" ]; do
    alive || fail "the clock ended: $(cat "$work/clock.err")"
    if [ "$(now_ms)" -ge "$next_sample" ]; then
        rss_sample
        next_sample=$(($(now_ms) + 1000))
    fi
    sleep 0.05
done
rss_sample

# Kapat ends the program with status 0.
last_counted=$(($(log_ms "$log") / 1000 - 1))
click_client 368 612
wait_exit 5000 || fail "still running 5 s after the click on Kapat"
stop_stall_watch
real_ms=$(($(now_ms) - real_started))
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status after Kapat: $(cat "$work/clock.err")"

faults=()
echo "--- sound log"
# Faster than x60 a two-core machine skips seconds: the figures are shown, not held.
awk -v alarm="$alarm" -v from="$count_from" -v to="$last_counted" -v rate="$rate" \
    -v stalls="$work/stalls.log" -f "$harness/check_sounds.awk" "$log" ||
    { [ "$rate" -gt 60 ] && echo "  (x$rate: not held to one request a second)"; } ||
    faults+=("sound requests")

echo "--- resident memory (faked time, kB)"
awk -v t0=$((start_s * 1000)) -v warm=$((warmup * 1000)) -v limit="$rss_limit" '
    { t = $1 - t0; kb = $2; n++
      if (n == 1) first = kb
      if (base == "" && t >= warm) { base = kb; base_t = t }
      if (kb > max) max = kb
      last = kb; last_t = t
      if (n % 10 == 1) printf "  +%6.0f s  %d\n", t / 1000, kb }
    END {
      printf "  first %d, baseline %d at +%.0f s, max %d, last %d at +%.0f s, growth %d kB\n",
          first, base, base_t / 1000, max, last, last_t / 1000, last - base
      exit (base == "" || last - base >= limit) }' "$rss_log" ||
    { [ "${VEMO_SANITIZE:-OFF}" = ON ] && echo "  (sanitizer build: not held to the limit)"; } ||
    faults+=("memory grew by ${rss_limit} kB or more after the warm-up")

echo "--- stderr ($(wc -l <"$work/clock.err") lines)"
cat "$work/clock.err"
[ "$(wc -l <"$work/clock.err")" -le 1 ] || faults+=("more than one line on stderr")

if [ ${#date_shots[@]} -gt 0 ] && [ "$rate" -le 60 ]; then
    echo "--- date label around midnight"
    group() { # <group>: its shots, comma-separated
        local files=() i
        for ((i = 0; i < ${date_count[$1]}; i++)); do files+=("$work/date-$1-$i.xwd"); done
        (IFS=,; echo "${files[*]}")
    }
    if [ "${date_count[a]}" -eq 0 ] || [ "${date_count[b]}" -eq 0 ] || [ "${date_count[c]}" -eq 0 ]; then
        faults+=("too few shots of the date label: ${date_count[a]}, ${date_count[b]} and ${date_count[c]}")
    else
        read -r same a1 a2 < <("$SOAK_PIXELS" diff "${date_box[@]}" purple "$(group a)" "$(group b)")
        read -r changed _ b2 < <("$SOAK_PIXELS" diff "${date_box[@]}" purple "$(group b)" "$(group c)")
        echo "  purple pixels: before $a1 and $a2, after $b2; differ $same before, $changed across"
        [ "$a1" -ge 100 ] && [ "$b2" -ge 100 ] || faults+=("the date label shows too little purple")
        [ "$same" -le 4 ] || faults+=("the date label changed before midnight")
        [ "$changed" -ge 20 ] || faults+=("the date label did not change at midnight")
    fi
fi

echo "real time ${real_ms} ms for $seconds simulated seconds"
[ ${#faults[@]} -eq 0 ] || fail "$(IFS=';'; echo "${faults[*]}")"
echo "PASS: soak"
