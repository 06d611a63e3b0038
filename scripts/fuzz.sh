#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs each on
# the seeds of fuzz/corpus/NAME for SECONDS (default 60). What it finds stays in
# build-fuzz/corpus/NAME.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
if ! command -v clang++ >/dev/null || ! dpkg -s libclang-rt-14-dev >/dev/null 2>&1; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends clang libclang-rt-14-dev
fi
"$root/scripts/install-deps.sh"
cmake -S "$root/fuzz" -B "$root/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build-fuzz" -j"$(nproc)"
for src in "$root"/fuzz/*.cpp; do
    name=$(basename "$src" .cpp)
    mkdir -p "$root/build-fuzz/corpus/$name"
    echo "== fuzz_$name ($seconds s)"
    "$root/build-fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
        "$root/build-fuzz/corpus/$name" "$root/fuzz/corpus/$name" 2>&1 | tail -n 12
done
