#!/usr/bin/env bash
# tidewright-decode --targets against plain decoding on the same log: the targets must
# cost at most 20% more time. The log is a real AIS capture among GNSS traffic and the
# simulator's default log, repeated to about 40 MB. Prints both times (best of three,
# user + system CPU) and the ratio; exits 1 when the ratio exceeds 1.2.
#   bench/targets/targets_speed.sh [BUILD_DIR]     (default build/release)
set -euo pipefail
cd "$(dirname "$0")/../.."
decode=${1:-build/release}/tools/decode/tidewright-decode
[ -x "$decode" ] || { echo "targets_speed: $decode was not built" >&2; exit 2; }

log=$(mktemp)
trap 'rm -f "$log"' EXIT
for _ in $(seq 200); do
    cat tests/data/nmea/gpsd-ais-nmea.log tools/sim/data/default.nmea
done >"$log"

best() {
    local best=""
    for _ in 1 2 3; do
        local t
        t=$( { /usr/bin/time -f '%U %S' "$decode" "$@" "$log" >/dev/null; } 2>&1 | awk '{print $1 + $2}')
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN{exit !(a < b)}'; then
            best=$t
        fi
    done
    echo "$best"
}

plain=$(best)
targets=$(best --targets)
ratio=$(awk -v a="$targets" -v b="$plain" 'BEGIN{printf "%.3f", a / b}')
echo "log: $(du -h "$log" | cut -f1)  plain: ${plain}s  --targets: ${targets}s  ratio: $ratio"
awk -v r="$ratio" 'BEGIN{exit !(r <= 1.2)}' || { echo "targets_speed: more than 20% slower" >&2; exit 1; }
