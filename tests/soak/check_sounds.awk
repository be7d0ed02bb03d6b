# Checks a sound log of the clock, `<unix ms> <file>` a line, faked time in UTC, against what
# each second should have asked for:
#   the tick sound, once;
#   then at hh:00:00 the full-hour chime (ringin.wav), at hh:30:00 the half-hour chime
#   (ringout.wav);
#   then, on every second of the alarm minute, the alarm chime (ringin.wav).
# A tick's chimes are the lines after its tick line, up to the next tick line; they belong to
# the tick's second even when written a few ms into the next one.
#
#   awk -v alarm=HH:MM -f check_sounds.awk sounds.log     (alarm= for none)
#
# Prints the figures; exits 1 on any second with a missing, doubled or wrong request.

function hms(sec) {
    return sprintf("%02d:%02d:%02d", int(sec / 3600) % 24, int(sec / 60) % 60, sec % 60)
}
function expected(sec,   s, m, hhmm) {
    s = sec % 60
    m = int(sec / 60) % 60
    hhmm = substr(hms(sec), 1, 5)
    e = "tick"
    if (m == 0 && s == 0) e = e " ringin.wav"
    if (m == 30 && s == 0) e = e " ringout.wav"
    if (alarm != "" && hhmm == alarm) e = e " ringin.wav"
    return e
}
function close_group() {
    if (cur == "") return
    if (cur in got) { doubles++; if (nbad++ < 10) print "double tick in second " hms(cur) }
    got[cur] = seq
}
{
    ms = $1
    name = substr($0, length($1) + 2)
    if (name ~ /Komutu\.wav$/) {
        close_group()
        cur = int(ms / 1000)
        seq = "tick"
        if (first == "" || cur < first) first = cur
        if (cur > last) last = cur
        ticks++
        next
    }
    if (cur == "") { if (nbad++ < 10) print "a sound before the first tick: " $0; stray++; next }
    seq = seq " " name
    if (name == "ringin.wav") ringin++
    else if (name == "ringout.wav") ringout++
    else { stray++; if (nbad++ < 10) print "unexpected sound " name " at " hms(int(ms / 1000)) }
}
END {
    close_group()
    if (ticks == 0) { print "no tick in the log"; exit 1 }
    for (sec = first; sec <= last; sec++) {
        want = expected(sec)
        if (!(sec in got)) { missing++; if (nbad++ < 10) print "no tick in second " hms(sec); continue }
        if (got[sec] != want) {
            wrong++
            if (nbad++ < 10) print "second " hms(sec) ": got [" got[sec] "], expected [" want "]"
        }
        if (want ~ /^tick ringin/ && (int(sec / 60) % 60) == 0 && sec % 60 == 0) hours++
        if (want ~ /ringout/) halves++
        if (alarm != "" && substr(hms(sec), 1, 5) == alarm) alarms++
    }
    span = last - first + 1
    printf "seconds %d (%s .. %s), ticks %d, missing %d, doubled %d, wrong %d, stray %d\n", \
        span, hms(first), hms(last), ticks, missing + 0, doubles + 0, wrong + 0, stray + 0
    printf "ringin %d (full hours due %d, alarm ticks due %d), ringout %d (half hours due %d)\n", \
        ringin + 0, hours + 0, alarms + 0, ringout + 0, halves + 0
    if (ringin != hours + alarms || ringout != halves) bad_totals = 1
    exit (missing || doubles || wrong || stray || bad_totals) ? 1 : 0
}
