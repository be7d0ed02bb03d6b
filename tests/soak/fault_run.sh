#!/usr/bin/env bash
# The real clock under hostile conditions: it must keep ticking and not crash.
#
#   fault_run.sh <case>
#
#   no_server      no sound server for 5 s: silent, at most one warning line on stderr
#   no_media       the program copied to a folder without media/: every request plays the
#                  built-in default sound
#   garbage_wav    media/ whose tick sound is not a WAV file      } every tick plays the default
#   truncated_wav  media/ whose tick sound is cut off in its data } sound, one warning
#   no_fonts       a fontconfig configuration without font folders
#   small_screen   800x600: the window hangs over the top edge, client at (34, -23)
#   name_long      a name of 10,000 characters
#   name_emoji, name_rtl (Arabic and Hebrew), name_control (control characters),
#   name_spaces    the name label cuts the name off: none of its orange below the label
#
# Environment: VEMO_BIN, SOAK_PIXELS, WORK_DIR (scratch space), SOAK_KEEP (keep it).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fault=${1:?case}
: "${VEMO_BIN:?path of vemo2}" "${SOAK_PIXELS:?path of soak_pixels}"
VEMO_BIN=$(realpath "$VEMO_BIN") SOAK_PIXELS=$(realpath "$SOAK_PIXELS")
work=$(mktemp -d "${WORK_DIR:-${TMPDIR:-/tmp}}/vemo-fault-$fault.XXXXXX")
# shellcheck source=../harness/launcher.sh
. "$here/../harness/launcher.sh"
trap cleanup EXIT
trap 'exit 130' INT TERM
need_tools Xvfb xdotool xwininfo

log=$work/sounds.log
media=$(dirname "$VEMO_BIN")/media
started=$(now_ms)

# The program alone in a folder of its own, with the given media folder (or none). The
# installed layout's ../share/vemo2/media must not exist beside it either.
private_copy() { # [tick sound file]
    mkdir -p "$work/pkg/bin"
    cp "$VEMO_BIN" "$work/pkg/bin/vemo2"
    if [ $# -gt 0 ]; then
        mkdir -p "$work/pkg/bin/media"
        cp "$media"/*.wav "$work/pkg/bin/media/"
        cp "$1" "$work/pkg/bin/media/Windows XP Menü Komutu.wav"
    fi
    program=$work/pkg/bin/vemo2
}

# The log keeps growing by one tick a second for <seconds>.
keeps_ticking() { # <seconds>
    local before after _
    for _ in $(seq 60); do
        [ -s "$log" ] && break
        sleep 0.05
    done
    before=$(wc -l <"$log" 2>/dev/null || echo 0)
    sleep "$1"
    alive || fail "the clock ended: $(cat "$work/clock.err")"
    after=$(wc -l <"$log")
    echo "sound requests: $before, then $after after $1 s"
    [ "$after" -ge $((before + $1 - 1)) ] || fail "the clock stopped asking for sounds"
}

# Orange of the name between the name label's bottom (client y 497) and the circle's bottom
# (725), across the label's width (128 to 609).
orange_below_name() {
    shot name
    "$SOAK_PIXELS" count "$work/name.xwd" $((client_x + 128)) $((client_y + 497)) \
        $((client_x + 609)) $((client_y + 725)) orange
}
orange_in_name() {
    "$SOAK_PIXELS" count "$work/name.xwd" $((client_x + 128)) $((client_y + 416)) \
        $((client_x + 609)) $((client_y + 497)) orange
}

# Types a name into the prompt fast: a piece typed, then doubled by select-all, copy, end of
# line, paste, <doublings> times.
type_doubled() { # <piece> <doublings>
    wait_prompt
    xdotool type --delay 40 -- "$1"
    local _
    for _ in $(seq "$2"); do
        xdotool key --delay 5 ctrl+a ctrl+c End ctrl+v
    done
    sleep 0.2
    xdotool key Return
    find_clock
}

hostile_name() { # <how>: typed | doubled <piece> <doublings> | keys <keysym>...
    start_x 1024x768
    program=$VEMO_BIN
    start_clock "" "$program" VEMO_SOUND_LOG="$log"
    case $1 in
    typed) answer_prompt "$2" ;;
    doubled) type_doubled "$2" "$3" ;;
    keys)
        shift
        wait_prompt
        xdotool key --delay 10 "$@"
        xdotool key Return
        find_clock
        ;;
    esac
    keeps_ticking 2
    local below inside
    below=$(orange_below_name)
    inside=$(orange_in_name)
    echo "orange pixels of the name: $inside in the label, $below below it"
    [ "$below" -eq 0 ] || fail "the name shows below its label"
}

case "$fault" in
no_server)
    start_x 1024x768
    start_clock "" "$VEMO_BIN" VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    keeps_ticking 5
    echo "stderr ($(wc -l <"$work/clock.err") lines):"
    cat "$work/clock.err"
    [ "$(wc -l <"$work/clock.err")" -le 1 ] || fail "more than one line on stderr"
    ;;
no_media)
    private_copy
    start_x 1024x768
    start_clock "" "$program" VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    keeps_ticking 3
    sort "$log" | awk '{print $2}' | uniq -c
    awk '$2 != "default" {bad = 1} END {exit bad}' "$log" || fail "a request not logged as default"
    ;;
garbage_wav | truncated_wav)
    if [ "$fault" = garbage_wav ]; then
        head -c 4000 /dev/urandom >"$work/tick.wav"
    else
        # The header promises the whole clip; the data stops after 100 bytes of it.
        head -c 144 "$media/Windows XP Menü Komutu.wav" >"$work/tick.wav"
    fi
    private_copy "$work/tick.wav"
    start_x 1024x768
    start_clock "" "$program" VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    keeps_ticking 3
    awk '{ $1 = ""; print }' "$log" | sort | uniq -c
    cat "$work/clock.err"
    # The unreadable tick plays the default sound; it is reported once, not every second.
    awk '$2 != "default" {bad = 1} END {exit bad}' "$log" || fail "a tick not logged as default"
    [ "$(grep -c 'okunamadı' "$work/clock.err")" -eq 1 ] || fail "not one warning about the file"
    ;;
no_fonts)
    mkdir -p "$work/fontcache"
    cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig><cachedir>$work/fontcache</cachedir></fontconfig>
CONF
    start_x 1024x768
    start_clock "" "$VEMO_BIN" VEMO_SOUND_LOG="$log" FONTCONFIG_FILE="$work/fonts.conf" \
        QT_QPA_FONTDIR="$work/fontcache"
    answer_prompt 'Ali'
    keeps_ticking 3
    shot fonts
    echo "stderr: $(head -c 2000 "$work/clock.err")"
    ;;
small_screen)
    start_x 800x600
    start_clock "" "$VEMO_BIN" VEMO_SOUND_LOG="$log"
    answer_prompt 'Ali'
    keeps_ticking 2
    xwininfo -name 'Tolvan Vemo' | grep -E 'Absolute|Width|Height'
    echo "client origin $client_x,$client_y; expected 34,-23"
    if [ "$client_x" -ne 34 ] || [ "$client_y" -ne -23 ]; then fail "the window is not where expected"; fi
    ;;
name_long)
    # 40 characters of Turkish words, doubled eight times: 10,240.
    hostile_name doubled 'şule ılgaz Çağrı Öğüt şule ılgaz Çağrı Ö' 8
    ;;
name_emoji) hostile_name typed '😀🕰️👩‍👩‍👧 ⏰🇹🇷 saat 🎉' ;;
name_rtl) hostile_name typed 'مرحبا بالعالم שלום עולם Ali' ;;
name_control)
    # Control bytes typed (no Escape: it would cancel the prompt), control keys, and a Return
    # typed in the middle of the text.
    start_x 1024x768
    start_clock "" "$VEMO_BIN" VEMO_SOUND_LOG="$log"
    wait_prompt
    xdotool type --delay 5 -- $'a\x01b\x07c\x08d\x02e\x7ff\x0bg'
    xdotool key --delay 10 ctrl+u ctrl+d ctrl+z ctrl+k Delete BackSpace
    xdotool type --delay 5 -- $'x\ry'
    [ -n "$(window_of 'Tolvan Vemo')" ] || { xdotool key Return; }
    find_clock
    keeps_ticking 2
    below=$(orange_below_name)
    echo "orange pixels of the name: $(orange_in_name) in the label, $below below it"
    [ "$below" -eq 0 ] || fail "the name shows below its label"
    ;;
name_spaces) hostile_name doubled '                                        ' 3 ;;
*) fail "unknown case $fault" ;;
esac
echo "real time $(($(now_ms) - started)) ms"
echo "PASS: $fault"
