#!/usr/bin/env bash
# End to end: monitor_on_simulator.sh SIMULATOR MONITOR
# The real simulator and monitor on a virtual screen, driven by keys as a user would.
# gga.xml must hold the last GGA sentence sent, and a recording made with Record and
# Stop and Save must be exactly what was sent from Record on. Exit 77: Xvfb or xdotool
# missing (skipped).
set -euo pipefail
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
sim=$(realpath "$1")
monitor=$(realpath "$2")
work=$(mktemp -d)
pids=()
sim_pid=""
cleanup() {
    local status=$?
    set +e
    for pid in $sim_pid "${pids[@]}"; do [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log "$work"/sim.out; do echo "--- $log" >&2; tail -20 "$log" >&2; done
    exit 1
}
wait_for() { # seconds command...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# A virtual screen on a display number Xvfb picks itself.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")"
# Our own runtime directory, so the port list holds our simulator alone; a real window
# rather than offscreen; Qt's own file dialog, which xdotool can type into.
mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=generic
# Settings of our own: a source remembered by an earlier session is not preselected.
export XDG_CONFIG_HOME=$work/config
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION

"$sim" --baud 4800 --tee "$work/sent.nmea" >"$work/sim.out" 2>"$work/sim.log" &
sim_pid=$!
wait_for 10 grep -q '^link ' "$work/sim.out" || fail "the simulator published no port"
link=$(sed -n 's/^link //p' "$work/sim.out")
mkdir "$work/run"
(cd "$work/run" && exec "$monitor") >"$work/monitor.log" 2>&1 &
pids+=($!)

# The simulator's port is listed first and selected: press Enter.
setup=$(timeout 60 xdotool search --sync --name '^Setup$' | head -1) || fail "no setup dialog"
xdotool windowfocus --sync "$setup" key Return
wait_for 30 test -s "$work/run/gga.xml" || fail "gga.xml did not appear"

# Record a few seconds, silence the talker (SIGUSR1), then Stop and Save.
main=$(xdotool search --name '^Tidewright$' | head -1)
xdotool windowfocus --sync "$main" key ctrl+r
sleep 4
kill -USR1 "$sim_pid"
wait_for 10 grep -q '^paused' "$work/sim.out" || fail "the simulator did not pause"
sleep 1.5 # the monitor takes the last bytes off the line
xdotool windowfocus --sync "$main" key ctrl+s
save=$(timeout 20 xdotool search --sync --name '^Save$' | head -1) || fail "no save dialog"
xdotool windowfocus --sync "$save" key ctrl+a type --delay 10 "$work/recording.txt"
xdotool key Return
wait_for 10 test -f "$work/recording.txt" || fail "the recording was not saved"
sleep 0.5

# gga.xml against the last GGA sent: numbers as %g writes them, empty numbers as 0,
# empty characters (written as NUL) not compared.
last_gga=$(tr -d '\r' <"$work/sent.nmea" | grep -a '^\$..GGA,' | tail -1)
echo "last GGA sent: $last_gga"
IFS=, read -r -a field <<<"${last_gga%%\**}"
grep -q '<current_time>' "$work/run/gga.xml" || fail "gga.xml has no current_time"
for check in utc:1:g latitude:2:g ns:3:c longitude:4:g ew:5:c sig:6:d satinuse:7:d HDOP:8:g \
    elv:9:g elv_units:10:c diff:11:g diff_units:12:c dgps_age:13:g; do
    IFS=: read -r name index kind <<<"$check"
    text=${field[$index]:-}
    [ "$kind" = c ] && [ -z "$text" ] && continue
    case $kind in
        g) expected=$(LC_ALL=C printf '%g' "${text:-0}") ;;
        d) expected=$((10#${text:-0})) ;;
        c) expected=${text:0:1} ;;
    esac
    actual=$(sed -n "s:.*<$name>\(.*\)</$name>.*:\1:p" "$work/run/gga.xml")
    [ "$actual" = "$expected" ] || fail "gga.xml <$name> is '$actual', the last GGA has '$expected'"
done

# The recording is exactly the tail of what was sent, its line ends LF.
size=$(stat -c %s "$work/recording.txt")
lines=$(grep -c '' "$work/recording.txt" || true)
[ "$size" -gt 1000 ] && [ "$lines" -ge 15 ] || fail "short recording: $size bytes, $lines lines"
tr -d '\r' <"$work/sent.nmea" | tail -c "$size" | cmp -s - "$work/recording.txt" ||
    fail "the recording is not what was sent from Record on"
echo "recording: $lines lines, $size bytes, the tail of what was sent"

kill -TERM "$sim_pid"
wait "$sim_pid" || fail "the simulator did not end cleanly"
sim_pid="" # reaped: its pid may belong to someone else by now
[ ! -L "$link" ] || fail "the simulator left its link behind"
echo "PASS"
