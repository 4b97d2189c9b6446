#!/bin/sh
# Installs what is missing, builds, and starts Vorendi on Vorendi.mdb in the
# working directory, creating an empty one first when there is none.
set -eu
radice=$(cd "$(dirname "$0")/.." && pwd)
"$radice/scripts/setup.sh"
"$radice/scripts/build.sh"
if [ ! -e Vorendi.mdb ]; then
    "$radice/build/tools/vorendi-nuovo-db" Vorendi.mdb
fi
exec "$radice/build/vorendi"
