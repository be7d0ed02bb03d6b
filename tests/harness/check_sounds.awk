# Checks a sound log of the clock, `<unix ms> <file>` a line, faked time in UTC, against what
# each second should have asked for:
#   the tick sound, once;
#   then at hh:00:00 the full-hour chime (ringin.wav), at hh:30:00 the half-hour chime
#   (ringout.wav);
#   then, on every second of the alarm minute, the alarm chime (ringin.wav).
# A tick's chimes are the lines after its tick line, up to the next tick line; they belong to
# the tick's second even when written a few ms into the next one.
#
#   awk -v alarm=HH:MM [-v from=S -v to=S] [-v stalls=FILE -v rate=N] -f check_sounds.awk sounds.log
#
# alarm= for none. from and to (unix seconds) limit the seconds checked; a request outside them
# is not looked at. With stalls, the stall watch's log of the run (stall_watch.cpp) and the
# clock's speed-up: a second without a tick, or with two, is let pass where, between the ticks
# around it, the machine held the clock, the X server or the watch itself back from running for
# a faked second or more in all (1000/rate ms of real time); it is counted and shown with what
# held it, and every other second is held exact. On a machine with a core to spare nothing is held back,
# and a second lost to the test's own traffic with the X server is not let pass.
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
    if (cur in got) doubled[cur] = 1
    got[cur] = seq
}
BEGIN {
    if (stalls != "") {
        while ((getline line < stalls) > 0) {
            split(line, f, " ")
            if (f[1] == "L" && line ~ /Komutu\.wav$/) seen[int(f[3] / 1000)] = f[2]
            else if (f[1] == "P") { np++; pt[np] = f[2]; own[np] = f[3]; cw[np] = f[4]; xw[np] = f[5]; ran[np] = f[6] }
        }
        close(stalls)
    }
}
# The watch's lines around the ticks before and after the second `sec` (real times ta, tb):
# sets wi and wj, 0 when the ticks around were not both seen. The watch's totals grow in lines; a
# line at ta itself counts, as the tick it saw then may have been written at any time since the
# line before.
function around(sec,   p, n) {
    wi = wj = 0
    for (p = sec - 1; p >= first && !(p in seen); p--) ;
    for (n = sec + 1; n <= last && !(n in seen); n++) ;
    if (!(p in seen) || !(n in seen)) return 0
    ta = seen[p]; tb = seen[n]
    for (wi = 1; wi <= np && pt[wi] < ta; wi++) ;
    wi--
    for (wj = wi + 1; wj <= np && pt[wj] <= tb; wj++) ;
    wj--
    return 1
}
# What held things back around a second without a tick: "" when less than a faked second.
function stall_around(sec) {
    if (stalls == "" || rate == "" || !around(sec) || wj <= wi) return ""
    limit = 1000 / rate
    if (own[wj] - own[wi] >= limit) return sprintf("the watch was held back %.0f ms", own[wj] - own[wi])
    if (cw[wj] - cw[wi] >= limit) return sprintf("the clock waited %.0f ms to run", cw[wj] - cw[wi])
    if (xw[wj] - xw[wi] >= limit) return sprintf("the X server waited %.0f ms to run", xw[wj] - xw[wi])
    return ""
}
# What the watch saw around a second without a tick that no stall explains.
function held(sec) {
    if (stalls == "" || rate == "" || !around(sec)) return ""
    return sprintf(" (%.0f ms real between the ticks around it; held back: the watch %.1f ms, the clock %.1f ms, the X server %.1f ms; the clock ran %.1f ms)", \
        tb - ta, own[wj] - own[wi], cw[wj] - cw[wi], xw[wj] - xw[wi], ran[wj] - ran[wi])
}
{
    ms = $1
    if ((from != "" && ms < from * 1000) || (to != "" && ms >= (to + 1) * 1000)) next
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
        if (sec in doubled) {
            why = stall_around(sec)
            if (why != "") { stalled++; print "two ticks in second " hms(sec) ", let pass: " why }
            else { doubles++; if (nbad++ < 10) print "two ticks in second " hms(sec) held(sec) }
        }
        if (!(sec in got)) {
            why = stall_around(sec)
            if (why != "") { stalled++; print "no tick in second " hms(sec) ", let pass: " why; continue }
            missing++; if (nbad++ < 10) print "no tick in second " hms(sec) held(sec); continue
        }
        if (got[sec] != want) {
            wrong++
            if (nbad++ < 10) print "second " hms(sec) ": got [" got[sec] "], expected [" want "]"
        }
        if (want ~ /^tick ringin/ && (int(sec / 60) % 60) == 0 && sec % 60 == 0) hours++
        if (want ~ /ringout/) halves++
        if (alarm != "" && substr(hms(sec), 1, 5) == alarm) alarms++
    }
    span = last - first + 1
    printf "seconds %d (%s .. %s), ticks %d, missing %d, doubled %d, wrong %d, stray %d, lost to machine stalls %d\n", \
        span, hms(first), hms(last), ticks, missing + 0, doubles + 0, wrong + 0, stray + 0, stalled + 0
    printf "ringin %d (full hours due %d, alarm ticks due %d), ringout %d (half hours due %d)\n", \
        ringin + 0, hours + 0, alarms + 0, ringout + 0, halves + 0
    if (ringin != hours + alarms || ringout != halves) bad_totals = 1
    exit (missing || doubles || wrong || stray || bad_totals) ? 1 : 0
}
