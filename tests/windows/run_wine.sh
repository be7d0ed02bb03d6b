#!/usr/bin/env bash
# Runs the Windows clock under Wine as a user would, on a display of its own, and checks what
# the screen shows.
#
#   run_wine.sh <scenario>
#
# Environment: WINE_RUN (tools/wine-run), WINEPREFIX (the prefix it makes and uses), VEMO_EXE
# (vemo2.exe), WINE_PROBE (wine_probe.exe), LINUX_BUILD (the Linux build: its shot_check, and
# for the comparison its vemo2), WORK_DIR (scratch space; a temporary folder when unset).
# VEMO_MSI and VEMO_MSI_PRODUCT_CODE: the installer and its product code, for the msi scenario.
# Scenarios: prompt circle hands clockstep alarm kapat compare dpi120 dpi144 sound sound-own msi
# accessible.
set -euo pipefail

scenario=${1:?scenario name}
: "${WINE_RUN:?}" "${WINEPREFIX:?}" "${VEMO_EXE:?}" "${WINE_PROBE:?}" "${LINUX_BUILD:?}"
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
shot_check=$LINUX_BUILD/tests/e2e/shot_check
linux_bin=$LINUX_BUILD/vemo2
sound_server=$(cd "$(dirname "$0")/../harness" && pwd)/sound-server

for tool in Xvfb xdotool import xwininfo xsetroot winepath wineserver; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -e "$faketime_lib" ] || { echo "SKIP: libfaketime is not installed"; exit 77; }
[ -x "$shot_check" ] || { echo "SKIP: no Linux build with shot_check in $LINUX_BUILD"; exit 77; }

# The prefix is made before any faked clock, by the real one. Then no Wine process is left:
# the clock's start brings up the Wine server and desktop anew, on its display and with its
# faked time (Wine's programs read the time the server keeps).
export WINEPREFIX WINEDEBUG=-all
"$WINE_RUN" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

work=$(mktemp -d "${WORK_DIR:-${TMPDIR:-/tmp}}/vemo-wine-$scenario.XXXXXX")
xvfb_pids=() clock_pid='' linux_pid='' registry_restore='' sound_folder='' recorder_pid=''
cleanup() {
    local status=$?
    set +e
    [ -n "$clock_pid" ] && kill "$clock_pid" 2>/dev/null
    [ -n "$linux_pid" ] && kill "$linux_pid" 2>/dev/null
    [ -n "$recorder_pid" ] && kill "$recorder_pid" 2>/dev/null
    [ -n "$sound_folder" ] && "$sound_server" stop "$sound_folder"
    # Every Wine process of the prefix, the clock's and Wine's own, ends with the scenario.
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    [ -n "$registry_restore" ] && $registry_restore
    for pid in "${xvfb_pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "kept $work"; fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() { echo "FAIL: $*"; exit 1; }
now_ms() { date +%s%3N; }
windows_path() { winepath -w "$1" 2>/dev/null; }

# A display of its own; sets DISPLAY (and $display, its name).
start_x() { # <width>x<height>
    local fd_file="$work/display.$RANDOM"
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$1x24" 3>"$fd_file" \
        >>"$work/xvfb.log" 2>&1 &
    xvfb_pids+=($!)
    for _ in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.05
    done
    [ -s "$fd_file" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    display=":$(head -n1 "$fd_file")"
    export DISPLAY=$display
    xsetroot -solid '#00ff00'
}

# The faked time of day (UTC) as an offset from the real clock, the same for every process
# that starts with it: the Wine server, the clock, and in the comparison the Linux clock.
fake_offset() { # <YYYY-MM-DD HH:MM:SS>
    local seconds=$(($(TZ=UTC date -d "$1" +%s) - $(date +%s)))
    if [ "$seconds" -ge 0 ]; then echo "+${seconds}s"; else echo "${seconds}s"; fi
}

# The faked time of day now, "H M S", for the offset of fake_offset.
faked_now() { # <offset>
    local seconds=${1%s}
    TZ=UTC date -d "@$(($(date +%s) ${seconds:0:1} ${seconds:1}))" '+%-H %-M %-S'
}

# Waits until 300 ms into a second: the tick of that second has been painted, the next is far.
mid_second() {
    while [ $(($(now_ms) % 1000)) -lt 300 ] || [ $(($(now_ms) % 1000)) -gt 600 ]; do
        sleep 0.02
    done
}

# The first tick comes at the first second boundary a second or more after start-up, so up to
# 2 s after the window shows: until it has, the hands stand at 12 and the bell opens nothing.
past_first_tick() {
    while [ $(($(now_ms) - shown_ms)) -lt 2000 ]; do sleep 0.02; done
    mid_second
}

# Waits while the faked second lies in [from, to]: the second hand, in front of the others,
# would cover what a check looks at.
wait_second_outside() { # <offset> <from> <to>
    local second
    while read -r _ _ second < <(faked_now "$1") && [ "$second" -ge "$2" ] &&
        [ "$second" -le "$3" ]; do
        sleep 0.2
    done
}

# The clock fact for the time shown now: the second hand on this second or, on a busy
# machine, one second off (a screenshot taken slowly, a tick painted late).
clock_fact() { # <offset>
    local h m s
    read -r h m s < <(faked_now "$1")
    echo "clock:$h:$m:$((s > 0 ? s - 1 : 0)):$((s < 59 ? s + 1 : 59))"
}

# The clock, and with it the Wine server, under a faked time of day: an offset from the real
# clock, or with "file:" an offset that set_offset can change while they run, as a set system
# clock changes under the monotonic one.
start_clock() { # [file:]<offset>
    local fake=(FAKETIME="$1" FAKETIME_DONT_RESET=1)
    if [[ $1 == file:* ]]; then
        set_offset "${1#file:}"
        fake=(FAKETIME_TIMESTAMP_FILE="$work/faketime" FAKETIME_CACHE_DURATION=1
            FAKETIME_DONT_FAKE_MONOTONIC=1)
    fi
    (cd "$work" && exec env TZ=UTC PULSE_SERVER="${PULSE_SERVER:-unix:/nonexistent/pulse}" \
        LD_PRELOAD="$faketime_lib" "${fake[@]}" "$WINE_RUN" "$WINEPREFIX" "$VEMO_EXE") \
        >"$work/clock.log" 2>&1 &
    clock_pid=$!
}
set_offset() { echo "$1" >"$work/faketime.new" && mv "$work/faketime.new" "$work/faketime"; }

window_of() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true; }

wait_window() { # <title> [seconds]
    window=''
    for _ in $(seq $((${2:-30} * 10))); do
        window=$(window_of "$1")
        [ -n "$window" ] && return 0
        kill -0 "$clock_pid" 2>/dev/null || fail "the clock ended early: $(cat "$work/clock.log")"
        sleep 0.1
    done
    fail "no window named '$1'"
}

probe() { "$WINE_RUN" "$WINEPREFIX" "$WINE_PROBE" "$@"; }

# Types the name into the prompt and sends Return; sets the clock window's outer and client
# origins on the screen.
answer_prompt() { # <name>
    wait_window 'Vemo [?]'
    sleep 0.5
    # A first typed letter outside ASCII gets lost on its way into Wine: a letter typed and
    # taken back goes first.
    xdotool type --delay 80 "x"
    xdotool key BackSpace
    xdotool type --delay 80 "$1"
    xdotool key Return
    wait_window 'Tolvan Vemo'
    shown_ms=$(now_ms)
    sleep 0.3
    read -r outer_x outer_y client_x client_y < <(probe where | tr -d '\r')
    echo "clock window at $outer_x,$outer_y, client area at $client_x,$client_y"
}

shot() { import -display "$DISPLAY" -window root "png:$work/$1.png"; }

check() { # <shot> <twips per pixel> <fact>...
    local name=$1 tpp=$2
    shift 2
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" "$shot_check" "$work/$name.png" \
        "$client_x" "$client_y" "$tpp" "$@" || fail "screenshot $name"
}

click_twips() { # <x> <y> [twips per pixel]
    local tpp=${3:-15}
    xdotool mousemove "$((client_x + $1 / tpp))" "$((client_y + $2 / tpp))" click 1
}

# A folder of the Wine user's profile, by the name of its environment variable, as a Linux path.
wine_folder() { # <variable>
    winepath -u "$("$WINE_RUN" "$WINEPREFIX" cmd /c echo "%$1%" | tr -d '\r')" 2>/dev/null
}

# A value in the registry; fails when the key or the value is missing.
registry_value() { # <key> <name>
    "$WINE_RUN" "$WINEPREFIX" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ */, ""); print; found = 1 }
            END { exit !found }'
}

# The installer's entry in the list of installed programs: the user's, where Windows keeps it
# for a package installed per user, or else the machine's, where Wine does.
uninstall_key() {
    local root key
    key='Software\Microsoft\Windows\CurrentVersion\Uninstall\{'"$VEMO_MSI_PRODUCT_CODE"'}'
    for root in HKCU HKLM; do
        "$WINE_RUN" "$WINEPREFIX" reg query "$root\\$key" >/dev/null 2>&1 &&
            { echo "$root\\$key"; return 0; }
    done
    return 1
}

# The product as registered for this user alone, under its product code written as Windows
# Installer keys it: the first three groups reversed, each later byte's two digits swapped.
user_product_key() {
    local code=${VEMO_MSI_PRODUCT_CODE//-/} key i
    key=$(rev <<<"${code:0:8}")$(rev <<<"${code:8:4}")$(rev <<<"${code:12:4}")
    for i in 16 18 20 22 24 26 28 30; do key+=${code:i+1:1}${code:i:1}; done
    echo "HKCU\\Software\\Microsoft\\Installer\\Products\\$key"
}

# Whether a Windows path names a copy of the clock's icon, as the build drew it.
is_clock_icon() { # <Windows path>
    [ -n "$1" ] &&
        cmp -s "$(winepath -u "$1" 2>/dev/null)" "$(dirname "$VEMO_EXE")/assets/vemo2.ico"
}

# The default sound the registry names, by its Windows path, or none with "-"; one regedit run.
# As the sound scheme's SystemDefault (.Current, which Windows reads, and .Default) and as
# win.ini's [Sounds] Default, kept in the registry, which Wine's player takes in place of a
# missing file.
name_default_sound() { # <Windows path> | -
    local scheme='HKEY_CURRENT_USER\AppEvents\Schemes\Apps\.Default\SystemDefault'
    local sounds='HKEY_CURRENT_USER\Control Panel\Sounds' value=\"${1//\\/\\\\}\"
    [ "$1" = - ] && value=-
    if [ "$value" = - ]; then
        printf 'REGEDIT4\n\n[-%s]\n' "$scheme"
    else
        printf 'REGEDIT4\n\n[%s\\.Current]\n@=%s\n\n[%s\\.Default]\n@=%s\n' \
            "$scheme" "$value" "$scheme" "$value"
    fi >"$work/sounds.reg"
    printf '\n[%s]\n"Default"=%s\n' "$sounds" "$value" >>"$work/sounds.reg"
    "$WINE_RUN" "$WINEPREFIX" regedit /S "$(windows_path "$work/sounds.reg")" >/dev/null 2>&1
    wineserver -w
}
restore_sounds() {
    rm -f "$WINEPREFIX/drive_c/windows/Media/"*.wav
    name_default_sound -
}

# The clock ends by itself within 3 s of <what>, with status 0.
ended_by() { # <what>
    local since
    since=$(now_ms)
    while kill -0 "$clock_pid" 2>/dev/null && [ $(($(now_ms) - since)) -lt 3000 ]; do
        sleep 0.05
    done
    kill -0 "$clock_pid" 2>/dev/null && fail "still running 3 s after $1"
    local status=0
    wait "$clock_pid" || status=$?
    clock_pid=''
    echo "ended $(($(now_ms) - since)) ms after $1, status $status"
    [ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/clock.log")"
}

# The resolution Wine gives its programs, until the scenario ends.
set_dpi() { # <dots per inch>
    for key in 'HKEY_CURRENT_USER\Control Panel\Desktop' 'HKEY_CURRENT_CONFIG\Software\Fonts'; do
        "$WINE_RUN" "$WINEPREFIX" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f \
            >/dev/null 2>&1
    done
    wineserver -w
}
restore_dpi() { set_dpi 96; }

# The window as a screen reader reads it, through wine_probe's MSAA client; fails unless a line
# matches <pattern>.
tree_has() { # <pattern> <what>
    probe tree | tr -d '\r' >"$work/tree" || fail "no accessible tree: $(cat "$work/tree")"
    tree_had "$@"
}
# The same on the tree last read.
tree_had() { # <pattern> <what>
    grep -qE "$1" "$work/tree" || { cat "$work/tree"; fail "$2"; }
}

name_box=1920,6240,7215,1215
kapat_box=4920,9000,1215,375
text_box=5040,8400,975,375

case "$scenario" in
prompt)
    # The name prompt comes first; the name shows proper-cased in the clock's own face.
    start_x 1024x768
    start_clock "$(fake_offset '2026-12-08 06:30:03')"
    wait_window 'Vemo [?]'
    [ -z "$(window_of 'Tolvan Vemo')" ] || fail "the clock window shows before the prompt is answered"
    shot prompt
    answer_prompt 'şule ılgaz'
    [ -z "$(window_of 'Vemo [?]')" ] || fail "the prompt is still shown"
    shot named
    check named 15 "box:$name_box:orange:0.03"
    # The minute and hour hands always cross the name at 06:30, the second hand in half the
    # seconds: what they hide counts in neither picture, what lies beside them costs the
    # overlap a few hundredths. The faithful rendering must beat each near miss.
    probe name "$(windows_path "$work/named.png")" "$client_x" "$client_y" 'Şule Ilgaz' 0.85 \
        'Sule Ilgaz|şule ılgaz|Şule İlgaz|ŞULE ILGAZ' || fail "the name on the dial"
    ;;
circle)
    # Start-up moves the framed window to Left, Top (142, 10 pixels on 1024 x 768) and cuts it
    # to the circle (16, 43)-(728, 755) of window pixels; outside, the desktop shows.
    start_x 1024x768
    shot root
    start_clock "$(fake_offset '2026-12-08 06:30:03')"
    answer_prompt 'x'
    [ "$outer_x,$outer_y" = "142,10" ] || fail "window at $outer_x,$outer_y, not 142,10"
    shot clock
    check clock 15 "circle:$work/root.png:158:53:870:765:1"
    ;;
hands)
    # Shortly after 06:30:05, after the first ticks: discs, marks and hands.
    start_x 1024x768
    offset=$(fake_offset '2026-12-08 06:30:03')
    start_clock "$offset"
    answer_prompt 'Ali'
    past_first_tick
    wait_second_outside "$offset" 26 35 # the second hand over the minute and hour hands
    mid_second
    fact=$(clock_fact "$offset")
    read -r hour minute second < <(faked_now "$offset")
    shot hands
    # A thick blue mark where the second hand is not: at 3 o'clock, or else at 5 o'clock.
    mark="box:9440,5500,80,60:blue:0.5"
    [ "$second" -ge 12 ] && [ "$second" -le 18 ] && mark="box:7470,8900,50,60:blue:0.3"
    # Where the hands point however long start-up took: the minute hand down, the hour hand
    # half past six.
    minute_angle=$(awk -v m="$minute" -v s="$second" 'BEGIN { print m * 6 - 90 + s / 10 }')
    hour_angle=$(awk -v h="$hour" -v m="$minute" -v s="$second" \
        'BEGIN { print h * 30 - 90 + (m * 60 + s) / 120 }')
    check hands 15 "$fact" \
        "box:2104,2104,200,200:olive:0.95" "box:3000,4400,500,300:paleyellow:0.95" "$mark" \
        "along:minute:$minute_angle:black:0.9:1:$name_box" \
        "along:minute:$minute_angle:paleyellow:0.4:1:$kapat_box" \
        "along:hour:$hour_angle:navy:0.8:1:$name_box"
    ;;
clockstep)
    # The system clock set forward from 06:30 to 09:10 while the clock runs: the next tick puts
    # the minute and hour hands on the new time, and none is left where it was.
    start_x 1024x768
    start_clock "file:$(fake_offset '2026-12-08 06:30:03')"
    answer_prompt 'Ali'
    sleep 1
    offset=$(fake_offset '2026-12-08 09:10:00')
    set_offset "$offset"
    sleep 2.5
    wait_second_outside "$offset" 6 14 # the second hand over the minute hand at 2 o'clock
    mid_second
    fact=$(clock_fact "$offset")
    shot stepped
    check stepped 15 "$fact" "along:minute:90.5:black:0:0.3" "along:hour:105.05:navy:0:0.3"
    ;;
alarm)
    # The bell opens the panel with the alarm hand up; three hour steps turn it to 3 o'clock.
    start_x 1024x768
    offset=$(fake_offset '2026-12-08 06:30:03')
    start_clock "$offset"
    answer_prompt 'Ali'
    past_first_tick
    shot closed
    check closed 15 "box:$text_box:white:0:0.05" "along:alarm:-90:red:0:0.05"
    click_twips 5520 8160
    sleep 0.4
    shot opened
    check opened 15 "box:$text_box:white:0.3" "along:alarm:-90:red:0.5"
    for _ in 1 2 3; do
        click_twips 4927 8587 # Tuş(1), the hour button left of the text box
        sleep 0.6
    done
    wait_second_outside "$offset" 14 17 # the second hand over the alarm hand at 3 o'clock
    mid_second
    shot three
    check three 15 "along:alarm:0:red:0.5" "along:alarm:-90:red:0:0.05"
    text=$(probe text | tr -d '\r')
    [ "$text" = "03:00" ] || fail "the text box holds '$text', not 03:00"
    echo "the text box holds $text"
    ;;
kapat)
    start_x 1024x768
    start_clock "$(fake_offset '2026-12-08 06:30:03')"
    answer_prompt 'Ali'
    click_twips 5527 9187
    ended_by 'the click on Kapat'
    ;;
compare)
    # One state drawn by both programs: the same faked time, the same name, both shot in the
    # middle of the same second. Away from the edges of shapes (Wine draws them hard, Qt
    # antialiases) and from the labels (the faces differ), the pixels agree.
    [ -x "$linux_bin" ] || { echo "SKIP: no Linux program in $LINUX_BUILD"; exit 77; }
    offset=$(fake_offset '2026-12-08 06:30:03')
    start_x 1024x768
    windows_display=$DISPLAY
    start_clock "$offset"
    answer_prompt 'Ali'
    start_x 1024x768
    linux_display=$DISPLAY
    mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
    (cd "$work" && exec env TZ=UTC LD_PRELOAD="$faketime_lib" FAKETIME="$offset" \
        PULSE_SERVER=unix:/nonexistent/pulse XDG_RUNTIME_DIR="$work/runtime" \
        QT_QPA_PLATFORM=xcb "$linux_bin") >"$work/linux.log" 2>&1 &
    linux_pid=$!
    for _ in $(seq 100); do
        [ -n "$(window_of 'Vemo [?]')" ] && break
        sleep 0.1
    done
    sleep 0.3
    xdotool type --delay 80 'Ali'
    xdotool key Return
    for _ in $(seq 100); do
        linux_window=$(window_of 'Tolvan Vemo')
        [ -n "$linux_window" ] && break
        sleep 0.1
    done
    [ -n "$linux_window" ] || fail "the Linux clock did not show: $(cat "$work/linux.log")"
    read -r linux_x linux_y < <(xwininfo -id "$linux_window" |
        awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
    # Both have ticked; shoot both 400 ms into a second, between two ticks.
    sleep 1.5
    while [ $((($(now_ms) % 1000))) -lt 400 ] || [ $((($(now_ms) % 1000))) -gt 500 ]; do
        sleep 0.02
    done
    import -display "$windows_display" -window root "png:$work/windows.png" &
    import -display "$linux_display" -window root "png:$work/linux.png"
    wait $!
    echo "Windows client area at $client_x,$client_y; Linux at $linux_x,$linux_y"
    export DISPLAY=$windows_display
    probe compare "$(windows_path "$work/windows.png")" "$client_x" "$client_y" \
        "$(windows_path "$work/linux.png")" "$linux_x" "$linux_y" 0.98 ||
        fail "the two renderings differ"
    ;;
dpi120 | dpi144)
    # Per-monitor aware: drawn at the screen's own resolution, as large in inches as at
    # 96 dpi. Left and Top follow the twips of the larger screen; the region's right and
    # bottom follow the twips per pixel, its left and top stay 16 and 43.
    dpi=${scenario#dpi}
    tpp=$((1440 / dpi))
    registry_restore=restore_dpi
    set_dpi "$dpi"
    start_x 1920x1200
    shot root
    offset=$(fake_offset '2026-12-08 06:30:03')
    start_clock "$offset"
    answer_prompt 'Ali'
    read -r left top right bottom < <(awk -v t="$tpp" 'function even(x,  f) {
            f = int(x); return (x - f == 0.5) ? (f % 2 ? f + 1 : f) : int(x + 0.5) }
        BEGIN {
            ox = int(int((1920 * t - 11085) / 2) / t); oy = int(int((1200 * t - 11085) * 3 / 8) / t)
            printf "%d %d %d %d\n", ox + 16, oy + 43, ox + even(10920 / t), oy + even(11320 / t) }')
    echo "circle expected at ($left,$top)-($right,$bottom)"
    past_first_tick
    wait_second_outside "$offset" 26 35
    mid_second
    fact=$(clock_fact "$offset")
    shot clock
    # At 12 and 16 twips a pixel the region is an ellipse a few pixels off round: its box only.
    check clock "$tpp" "circle:$work/root.png:$left:$top:$right:$bottom:1:size" \
        "box:2104,2104,200,200:olive:0.95" "$fact"
    ;;
sound | sound-own)
    # The clock through Wine's PulseAudio driver into a sound server of the scenario's own,
    # recorded up to noon and a little past it. The faked clock starts 40 s before noon:
    # start-up under Wine on a busy machine can take half of that. The registry names a default
    # sound, a low tone that none of the clock's sounds holds. "sound": the Media folder holds
    # the clock's files, here the project's sounds declared at 44.1 kHz, so that they sound
    # lower than the program's own and the recording tells which played. "sound-own": no Media
    # files, as on today's Windows.
    for tool in pulseaudio pactl parec; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    listen_check=$LINUX_BUILD/tests/sound/listen_check
    [ -x "$listen_check" ] || { echo "SKIP: no Linux build with listen_check"; exit 77; }
    registry_restore=restore_sounds
    media_folder=$WINEPREFIX/drive_c/windows/Media
    mkdir -p "$media_folder"
    rm -f "$media_folder"/*.wav
    pitch=1
    if [ "$scenario" = sound ]; then
        pitch=$(awk 'BEGIN { print 44100 / 48000 }')
        for file in "$(dirname "$VEMO_EXE")"/media/*.wav; do
            cp "$file" "$media_folder/"
            # The format chunk's rate and bytes a second: 44100 and 88200, little-endian.
            printf '\x44\xac\x00\x00\x88\x58\x01\x00' |
                dd of="$media_folder/${file##*/}" bs=1 seek=24 conv=notrunc status=none
        done
    fi
    "$listen_check" tone "$work/default.wav" 300 || fail "cannot write the default sound"
    name_default_sound "$(windows_path "$work/default.wav")"
    sound_folder=$work/pulse
    "$sound_server" start pulseaudio "$sound_folder" recording || fail "no sound server"
    export PULSE_SERVER=unix:$sound_folder/native
    start_x 1024x768
    offset=$(fake_offset '2026-12-08 11:59:20')
    start_clock "$offset"
    answer_prompt 'Ali'
    parec -d vemo_listen.monitor --raw --format=s16le --rate=48000 --channels=1 \
        --latency-msec=10 >"$work/recording.raw" &
    recorder_pid=$!
    recording_start=$(now_ms)
    noon_ms=$(($(TZ=UTC date -d '2026-12-08 12:00:00' +%s)000 - ${offset%s}000))
    while [ "$(now_ms)" -lt $((noon_ms + 1200)) ]; do sleep 0.1; done
    kill -INT "$recorder_pid"
    wait "$recorder_pid" || true
    recorder_pid=''
    [ "$noon_ms" -gt $((recording_start + 3000)) ] || fail "noon came too soon after the start"
    "$listen_check" clock "$work/recording.raw" $((noon_ms - recording_start)) "$pitch" 300 ||
        fail "the clock's sounds"
    ;;
msi)
    # The installer for one user, as a user runs it but without its window: the files, the
    # Start-menu shortcut that starts the clock, the installed-programs entry and its icon,
    # registered for this user; and after the uninstall, nothing of them.
    [ -f "${VEMO_MSI:-}" ] || { echo "SKIP: no installer built (wixl is not installed)"; exit 77; }
    start_x 1024x768
    msi=$(windows_path "$VEMO_MSI")
    programs=$(wine_folder LOCALAPPDATA)/Programs/Vemo2
    shortcut="$(wine_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Vemo2.lnk"
    registry_restore="$WINE_RUN $WINEPREFIX msiexec /x $msi /qn"
    "$WINE_RUN" "$WINEPREFIX" msiexec /i "$msi" /qn || fail "msiexec /i ended with status $?"
    cmp -s "$programs/vemo2.exe" "$VEMO_EXE" || fail "no vemo2.exe in $programs"
    [ -f "$programs/OKUBENI.txt" ] || fail "no OKUBENI.txt in $programs"
    [ -f "$shortcut" ] || fail "no shortcut $shortcut"
    mapfile -t link < <(probe link "$(windows_path "$shortcut")" | tr -d '\r')
    echo "the shortcut starts ${link[0]:-?} in ${link[1]:-?}, its icon ${link[2]:-?}"
    [ "${link[0],,}" = "$(windows_path "$programs/vemo2.exe" | tr '[:upper:]' '[:lower:]')" ] ||
        fail "the shortcut does not start the installed program"
    is_clock_icon "${link[2]:-}" || fail "the shortcut has not the clock's icon"
    entry=$(uninstall_key) || fail "no installed-programs entry"
    for expected in DisplayName=Vemo2 DisplayVersion=1.00 'Publisher=Vemo2 developers'; do
        value=$(registry_value "$entry" "${expected%%=*}")
        [ "$value" = "${expected#*=}" ] || fail "${expected%%=*} is '$value'"
    done
    icon=$(registry_value "$(user_product_key)" ProductIcon) ||
        fail "the product is not registered for this user"
    is_clock_icon "$icon" || fail "the installed-programs entry has not the clock's icon"
    echo "installed-programs entry $entry: Vemo2 1.00, Vemo2 developers; icon $icon"
    VEMO_EXE=$(winepath -u "${link[0]}" 2>/dev/null)
    start_clock "$(fake_offset '2026-12-08 06:30:03')"
    wait_window 'Vemo [?]'
    kill "$clock_pid"
    clock_pid=''
    wineserver -k
    wineserver -w
    "$WINE_RUN" "$WINEPREFIX" msiexec /x "$msi" /qn || fail "msiexec /x ended with status $?"
    registry_restore=''
    [ ! -e "$programs" ] || fail "left behind: $(find "$programs")"
    [ ! -e "$shortcut" ] || fail "the shortcut is left behind"
    ! entry=$(uninstall_key) || fail "the installed-programs entry $entry is left behind"
    ! registry_value "$(user_product_key)" ProductIcon >/dev/null ||
        fail "the product is still registered"
    [ ! -e "$(winepath -u "$icon" 2>/dev/null)" ] || fail "the icon $icon is left behind"
    ;;
accessible)
    # The names and roles of the window's children, the actions of the bell and of the hour
    # button, and Kapat's action, which ends the program with status 0. All within the 20
    # ticks after start-up that the panel stays open. (Wine calls ROLE_SYSTEM_TEXT "text",
    # Windows "editable text".)
    start_x 1024x768
    start_clock "$(fake_offset '2026-12-08 06:30:03')"
    answer_prompt 'Ali'
    tree_has '^client \| Tolvan Vemo$' "the window is not named"
    echo "the tree at start:"
    cat "$work/tree"
    for line in '^  static text \| Ali \|' '^  static text \| VEMO2 1.00 \|' \
        '^  static text \| Alarm ayarla \|' \
        '^  push button \| Alarm ayarla \| .*\| showing$' '^  push button \| Kapat \| .*\| showing$' \
        '^  push button \| Saat ileri \| .*\| not showing$' \
        '^  (editable )?text \| Alarm saati \| .*\| not showing$' \
        '^  push button \| Dakika ileri \| .*\| not showing$'; do
        tree_had "$line" "no line '$line'"
    done
    probe press 'Alarm ayarla'
    sleep 0.3
    tree_has '^  (editable )?text \| Alarm saati \| 00:00 \| showing$' "the bell's action did not open the panel"
    tree_had '^  push button \| Saat ileri \| .*\| showing$' "no hour button"
    echo "the tree with the panel open:"
    cat "$work/tree"
    probe press 'Saat ileri'
    sleep 0.3
    tree_has '^  (editable )?text \| Alarm saati \| 01:00 \| showing$' "the hour button's action did not step the hour"
    tree_had '^  static text \| 06:[0-9]{2}:[0-9]{2} \|' "the time label is not read"
    # The keyboard: Tab to the bell, whose Space closes the panel.
    xdotool key Tab
    sleep 0.3
    focused=$(probe focused | tr -d '\r')
    [ "$focused" = 'Alarm ayarla' ] || fail "Tab did not reach the bell: '$focused'"
    xdotool key space
    sleep 0.3
    tree_has '^  (editable )?text \| Alarm saati \| 01:00 \| not showing$' "Space on the bell did not close the panel"
    echo "Tab reached the bell, Space closed the panel"
    probe press 'Kapat'
    ended_by "Kapat's action"
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac
echo "PASS: $scenario"
