#!/bin/sh
# Installs what is missing, builds the program and the whole suite with
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ beside the
# sources, and runs the suite there. Any sanitizer report fails its test.
set -eu
radice=$(cd "$(dirname "$0")/.." && pwd)
cartella=${VORENDI_ASAN_DIR:-$radice/build-asan}
"$radice/scripts/setup.sh"
if [ ! -f "$cartella/CMakeCache.txt" ]; then
    bandiere="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    cmake -S "$radice" -B "$cartella" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORENDI_BENCH=OFF \
        -DCMAKE_CXX_FLAGS="$bandiere" -DCMAKE_EXE_LINKER_FLAGS="$bandiere"
fi
cmake --build "$cartella" -j2
cd "$cartella"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure
