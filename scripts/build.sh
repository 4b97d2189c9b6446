#!/bin/sh
# Configures (once) and builds into build/ beside the sources: everything,
# or only the targets named in VORENDI_OBIETTIVI.
set -eu
radice=$(cd "$(dirname "$0")/.." && pwd)
tipo=${VORENDI_BUILD_TYPE:-RelWithDebInfo}
cartella=${VORENDI_BUILD_DIR:-$radice/build}
if [ ! -f "$cartella/CMakeCache.txt" ]; then
    cmake -S "$radice" -B "$cartella" -DCMAKE_BUILD_TYPE="$tipo" ${VORENDI_CMAKE_ARGS:-}
fi
cmake --build "$cartella" -j2 ${VORENDI_OBIETTIVI:+--target $VORENDI_OBIETTIVI}
