#!/bin/sh
# Builds in Release, generates the large shop file once (kept in
# build-release/bench/), and prints each benchmark's median against its bare
# SQLite reference, then the peak memory of the largest list and the disk
# flushes of one checkout. Repetitions are interleaved, so that a program and
# its reference share the machine's ups and downs.
# With --scala first, also the shop at 2x and 5x its trade (files made once,
# the 5x one takes a few minutes): the register (a year of sales, every
# sale), the first screen of each list, the statistics, the checkout and the
# peak memory at each size.
# With --server first, only the server cases instead: a private PostgreSQL
# cluster on 127.0.0.1 is started, the large file copied into it, and the
# program on it measured against bare libpq; then each counter's action
# through a proxy that adds a delay each way (--ritardo 5, or 0,1,5,20 ms
# unless told), its round trips against the fewest it needs. A connection
# string right after --server names a server to use instead of the private
# one: its database empty (the file is copied in) or filled by an earlier run.
set -eu
radice=$(cd "$(dirname "$0")/.." && pwd)
scala=0
server=0
collegamento=
if [ "${1:-}" = "--scala" ]; then
    scala=1
    shift
elif [ "${1:-}" = "--server" ]; then
    server=1
    shift
    if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
        collegamento=$1
        shift
    fi
fi
"$radice/scripts/setup.sh"
cartella="$radice/build-release"
VORENDI_BUILD_DIR="$cartella" VORENDI_BUILD_TYPE=Release VORENDI_CMAKE_ARGS="-DVORENDI_TESTS=OFF" \
    VORENDI_OBIETTIVI="vorendi-bench vorendi-genera vorendi-memoria" "$radice/scripts/build.sh"

negozio() {
    file="$cartella/bench/grande$2.mdb"
    if [ ! -f "$file" ]; then
        "$cartella/bench/vorendi-genera" --fattore "$1" "$file.nuovo" >&2
        mv "$file.nuovo" "$file"
    fi
    echo "$file"
}

uptime
file=$(negozio 1 "")
if [ "$server" -eq 1 ]; then
    if [ -n "$collegamento" ]; then
        set -- --collegamento "$collegamento" "$@"
    fi
    exec "$cartella/bench/vorendi-bench" "$file" --server --benchmark_filter='server_|rete_' \
        --benchmark_repetitions="${RIPETIZIONI:-5}" --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true "$@"
fi
"$cartella/bench/vorendi-bench" "$file" --benchmark_repetitions="${RIPETIZIONI:-5}" \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true "$@"
"$cartella/bench/vorendi-memoria" "$file"

# The disk flushes of one checkout: each side's count less what the set-up
# alone makes.
if command -v strace >/dev/null 2>&1; then
    traccia=$(mktemp)
    conta() {
        strace -f -qq -e trace=fsync,fdatasync -o "$traccia" \
            "$cartella/bench/vorendi-bench" "$file" --una-vendita="$1"
        grep -c -E 'f(data)?sync\(' "$traccia" || true
    }
    base=$(conta nessuna)
    echo "fsync per vendita: programma $(($(conta programma) - base)),"\
        "riferimento $(($(conta riferimento) - base))"
    rm -f "$traccia"
fi
[ "$scala" -eq 1 ] || exit 0

for volte in 2 5; do
    file=$(negozio "$volte" "-${volte}x")
    echo "== ${volte}x: $file"
    uptime
    "$cartella/bench/vorendi-bench" "$file" --benchmark_repetitions="${RIPETIZIONI:-5}" \
        --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
        --benchmark_filter='operazioni_vendite_anno|operazioni_vendite_tutte|primo_schermo|statistiche_anno|vendita_200_righe|vendita_dal_carrello' "$@"
    "$cartella/bench/vorendi-memoria" "$file"
done
