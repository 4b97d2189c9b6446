#!/bin/sh
# Installs from Debian's packages whatever the build, the program and the
# tests need and this machine lacks.
set -eu

PACCHETTI="cmake g++ make pkg-config qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n
fonts-liberation libsqlite3-dev libbenchmark-dev xvfb xauth imagemagick poppler-utils"

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
$come env DEBIAN_FRONTEND=noninteractive apt-get update -q
# shellcheck disable=SC2086
$come env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $mancanti
