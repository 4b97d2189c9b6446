#!/bin/sh
# Builds in Release, generates the large shop file once (kept in
# build-release/bench/), and prints each benchmark's median against its bare
# SQLite reference, then the peak memory of the largest list.
set -eu
radice=$(cd "$(dirname "$0")/.." && pwd)
"$radice/scripts/setup.sh"
cartella="$radice/build-release"
VORENDI_BUILD_DIR="$cartella" VORENDI_BUILD_TYPE=Release \
    VORENDI_CMAKE_ARGS="-DVORENDI_TESTS=OFF" "$radice/scripts/build.sh"
file="$cartella/bench/grande.mdb"
if [ ! -f "$file" ]; then
    "$cartella/bench/vorendi-genera" "$file.nuovo"
    mv "$file.nuovo" "$file"
fi
"$cartella/bench/vorendi-bench" "$file" --benchmark_repetitions="${RIPETIZIONI:-5}" \
    --benchmark_report_aggregates_only=true "$@"
"$cartella/bench/vorendi-memoria" "$file"
