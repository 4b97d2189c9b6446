#!/bin/sh
# Installs what is missing, builds the program and its tools, and starts
# Vorendi in the shop's folder: the argument, or ~/Vorendi. The folder, and
# an empty Vorendi.mdb in it, are created when missing.
set -eu
radice=$(cd "$(dirname "$0")/.." && pwd)
cartella=${1:-$HOME/Vorendi}
"$radice/scripts/setup.sh"
VORENDI_OBIETTIVI="vorendi vorendi-nuovo-db" "$radice/scripts/build.sh"
mkdir -p "$cartella"
cd "$cartella"
if [ ! -e Vorendi.mdb ]; then
    "$radice/build/tools/vorendi-nuovo-db" Vorendi.mdb
fi
exec "$radice/build/vorendi"
