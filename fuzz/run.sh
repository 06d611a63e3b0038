#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each one.
#   fuzz/run.sh [--time SECONDS | --runs N] [TARGET...]
# Default: 60 s per target. Corpora grow in fuzz/corpus/TARGET (kept out of git);
# a crash input is written to fuzz/crashes/. Prints the executions of each target.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=(-max_total_time=60)
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --time) limit=(-max_total_time="$2"); shift 2 ;;
        --runs) limit=(-runs="$2"); shift 2 ;;
        *) targets+=("$1"); shift ;;
    esac
done
if [ ${#targets[@]} -eq 0 ]; then # every target of the folder
    for f in fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

if ! command -v clang++ >/dev/null || ! dpkg -s libclang-rt-14-dev >/dev/null 2>&1; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends clang libclang-rt-14-dev
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZTK_FUZZ=ON \
    -DZTK_TESTS=OFF -DZTK_BENCH=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]}"

mkdir -p fuzz/crashes
total=0
for t in "${targets[@]}"; do
    mkdir -p "fuzz/corpus/$t"
    log=$(mktemp)
    # Qt's own messages would flood the log; they say nothing about the target.
    QT_LOGGING_RULES='*=false' "build-fuzz/fuzz/$t" "${limit[@]}" -print_final_stats=1 \
        -artifact_prefix="fuzz/crashes/$t-" "fuzz/corpus/$t" "fuzz/seeds/$t" >"$log" 2>&1 || {
        tail -40 "$log"; echo "$t: FAILED (input in fuzz/crashes/)"; exit 1; }
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "$t: ${runs:-?} executions"
    total=$((total + ${runs:-0}))
    rm -f "$log"
done
echo "total: $total executions"
