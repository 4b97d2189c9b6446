#!/bin/sh
# Installs what is missing, builds, and runs the whole suite.
set -eu
radice=$(cd "$(dirname "$0")/.." && pwd)
"$radice/scripts/setup.sh"
"$radice/scripts/build.sh"
cd "$radice/build"
QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure
