#!/bin/sh
# Installs from Debian's packages whatever the build, the program and the
# tests need and this machine lacks.
set -eu

# libcups2-dev: printing hands its PDF to the print system; cups: the print
# server that one test starts for itself (cupsd, lpadmin, cupsreject, ...).
# libqt6sql6-psql, libpq-dev: a shop's data on a PostgreSQL server;
# postgresql: the private server the tests start for themselves; openssl:
# its throwaway TLS certificate. strace: a test sees in which order a saved
# file and its folder reach the disk.
PACCHETTI="cmake g++ make pkg-config strace qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n
fonts-liberation libsqlite3-dev libbenchmark-dev xvfb xauth imagemagick poppler-utils
libcups2-dev cups libqt6sql6-psql libpq-dev postgresql openssl"

mancanti=""
for p in $PACCHETTI; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        mancanti="$mancanti $p"
    fi
done
[ -z "$mancanti" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    come=""
else
    come="sudo"
fi
echo "Installo:$mancanti"
# Installing cups and postgresql must not start the machine's own print or
# database server: no test may reach them. A policy-rc.d that forbids
# starting services, for the install only.
politica=/usr/sbin/policy-rc.d
if [ ! -e "$politica" ]; then
    trap '$come rm -f "$politica"' EXIT
    printf '#!/bin/sh\nexit 101\n' | $come tee "$politica" >/dev/null
    $come chmod 755 "$politica"
fi
$come env DEBIAN_FRONTEND=noninteractive apt-get update -q
# shellcheck disable=SC2086
$come env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $mancanti
