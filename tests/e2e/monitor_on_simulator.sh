#!/usr/bin/env bash
# End to end: the real simulator and the real monitor on a virtual screen, driven the
# way a user drives them (keys sent with xdotool).
#
#   monitor_on_simulator.sh SIMULATOR MONITOR
#
# Checks that gga.xml appears in the monitor's working directory with the values of the
# last GGA sentence the simulator sent, and that a recording made with Record and then
# Stop and Save holds exactly what was sent from Record on. Exits 77 (skipped) when
# Xvfb or xdotool is missing.
set -euo pipefail

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
sim=$(realpath "$1")
monitor=$(realpath "$2")

work=$(mktemp -d)
xvfb_pid=""
sim_pid=""
monitor_pid=""
cleanup() {
    local status=$?
    set +e
    for pid in "$monitor_pid" "$sim_pid" "$xvfb_pid"; do
        if [ -n "$pid" ]; then
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        fi
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log "$work"/sim.out; do
        [ -f "$log" ] && { echo "--- $log" >&2; tail -20 "$log" >&2; }
    done
    exit 1
}

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# A virtual screen on a display number the server picks itself.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")"

# A runtime directory of our own: the monitor's port list then holds our simulator
# alone, and nothing published by anyone else is touched.
mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
# A real window (not offscreen) and Qt's own file dialog, which xdotool can type into.
export QT_QPA_PLATFORM=xcb
export QT_QPA_PLATFORMTHEME=generic
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION GNOME_DESKTOP_SESSION_ID KDE_FULL_SESSION

"$sim" --baud 4800 --tee "$work/sent.nmea" >"$work/sim.out" 2>"$work/sim.log" &
sim_pid=$!
wait_for 10 grep -q '^link ' "$work/sim.out" || fail "the simulator published no port"
link=$(sed -n 's/^link //p' "$work/sim.out")

mkdir "$work/run"
(cd "$work/run" && exec "$monitor") >"$work/monitor.log" 2>&1 &
monitor_pid=$!

# The setup dialog: the simulator's port is listed first and selected; press Enter.
setup=$(timeout 60 xdotool search --sync --name '^Setup$' | head -1) || fail "no setup dialog"
xdotool windowfocus --sync "$setup"
xdotool key Return
wait_for 30 test -s "$work/run/gga.xml" || fail "gga.xml did not appear"

# Record for a few seconds, then silence the talker and Stop and Save.
main=$(xdotool search --name '^Tidewright$' | head -1)
xdotool windowfocus --sync "$main"
xdotool key ctrl+r
sleep 4
kill -USR1 "$sim_pid"
wait_for 10 grep -q '^paused' "$work/sim.out" || fail "the simulator did not pause"
sleep 1.5 # let the monitor take the last bytes off the line
xdotool windowfocus --sync "$main"
xdotool key ctrl+s
save=$(timeout 20 xdotool search --sync --name '^Save$' | head -1) || fail "no save dialog"
xdotool windowfocus --sync "$save"
xdotool key ctrl+a
xdotool type --delay 10 "$work/recording.txt"
xdotool key Return
wait_for 10 test -f "$work/recording.txt" || fail "the recording was not saved"
sleep 0.5

# gga.xml against the last GGA sentence sent.
last_gga=$(tr -d '\r' <"$work/sent.nmea" | grep -a '^\$..GGA,' | tail -1)
[ -n "$last_gga" ] || fail "no GGA sentence was sent"
echo "last GGA sent: $last_gga"
IFS=, read -r -a field <<<"${last_gga%%\**}"
xml_value() { sed -n "s:.*<$1>\(.*\)</$1>.*:\1:p" "$work/run/gga.xml"; }
grep -q '<current_time>' "$work/run/gga.xml" || fail "gga.xml has no current_time"
number() { if [ -z "$1" ]; then echo 0; else LC_ALL=C printf '%g' "$1"; fi; }
checks=(utc:1:number latitude:2:number ns:3:char longitude:4:number ew:5:char
    sig:6:int satinuse:7:int HDOP:8:number elv:9:number elv_units:10:char
    diff:11:number diff_units:12:char dgps_age:13:number)
for check in "${checks[@]}"; do
    IFS=: read -r name index kind <<<"$check"
    text=${field[$index]:-}
    case $kind in
        number) expected=$(number "$text") ;;
        int) expected=$((10#${text:-0})) ;;
        char)
            [ -n "$text" ] || continue # an empty character field is written as NUL
            expected=${text:0:1}
            ;;
    esac
    actual=$(xml_value "$name")
    [ "$actual" = "$expected" ] || fail "gga.xml <$name> is '$actual', the last GGA sent has '$expected'"
done

# The recording is exactly the tail of what was sent, line ends as LF.
tr -d '\r' <"$work/sent.nmea" >"$work/sent-lf.nmea"
size=$(stat -c %s "$work/recording.txt")
lines=$(grep -c '' "$work/recording.txt" || true)
[ "$size" -gt 1000 ] && [ "$lines" -ge 15 ] || fail "the recording is too short ($size bytes, $lines lines)"
tail -c "$size" "$work/sent-lf.nmea" | cmp -s - "$work/recording.txt" ||
    fail "the recording is not what was sent from Record on"
echo "recording: $lines lines, $size bytes, the tail of what was sent"

# The simulator ends cleanly and takes its link with it.
kill -TERM "$sim_pid"
wait "$sim_pid" || fail "the simulator did not end cleanly"
sim_pid=""
[ ! -e "$link" ] && [ ! -L "$link" ] || fail "the simulator left its link behind"
echo "PASS"
