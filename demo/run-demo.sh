#!/usr/bin/env bash
# Opens the program on demo-work/ (about fifty sample products) connected to the
# scale simulator on a pseudo-terminal. Usage: demo/run-demo.sh [BUILD_DIR [SCALE_NUMBER]]
# The simulator is stopped when the program exits.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
work="$root/demo-work"
[ $# -gt 0 ] && shift

for program in ztk ztk-scale-sim; do
    if [ ! -x "$build/$program" ]; then
        echo "run-demo: $build/$program is missing; build first (scripts/build.sh)" >&2
        exit 1
    fi
done

mkdir -p "$work/sim"
if [ ! -f "$work/LM_T.db" ]; then
    sqlite3 "$work/LM_T.db" < "$root/demo/products.sql"
fi

# A first run gives the scale a day of sales; later runs keep what it holds (cleared or not).
sales=()
if [ ! -f "$work/sim/totals.bin" ]; then
    for n in 1 2 3 5 8 13 21 34; do
        sales+=(--sale "$n:$((n * 1375)):$((n * n * 4321 + 99)):$((n % 7 + 1))")
    done
fi

# The simulator prints its port path on its first line.
"$build/ztk-scale-sim" --state "$work/sim" "${sales[@]}" > "$work/sim.port" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
port=""
for _ in $(seq 100); do
    port=$(head -n 1 "$work/sim.port" 2>/dev/null || true)
    [ -n "$port" ] && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "run-demo: the simulator did not start" >&2; exit 1; }
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "run-demo: the simulator gave no port path" >&2
    exit 1
fi

# "fbdves.cfg" keeps port names of at most 9 characters: /dev/pts/N is named pts/N.
name=${port#/dev/}
if [ ${#name} -gt 9 ]; then
    echo "run-demo: port name '$name' is longer than 9 characters" >&2
    exit 1
fi
last_scale=1
if [ -f "$work/fbdves.cfg" ]; then
    last_scale=$(od -An -tu1 -j18 -N1 "$work/fbdves.cfg" | tr -d ' ')
    [ -n "$last_scale" ] || last_scale=1
fi
# 19 bytes: name padded with zeros to 10, baud 115200 and stop-bits index 0
# (32-bit little-endian each), LastScaleNumber.
{
    printf '%s' "$name"
    head -c $((10 - ${#name})) /dev/zero
    printf '\000\302\001\000\000\000\000\000'
    printf "\\$(printf '%03o' "$last_scale")"
} > "$work/fbdves.cfg"

cd "$work"
"$build/ztk" "$@"
