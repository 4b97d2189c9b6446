#include "data/rapporto.h"

#include "common/formati.h"

#include <QDebug>

#include <utility>

namespace {

Segnalatore &segnalatoreAttivo()
{
    static Segnalatore segnalatore;
    return segnalatore;
}

} // namespace

QString RapportoZona::testo() const
{
    return QStringLiteral("Si è verificato in zona %1:\nErrore n.%2 %3")
        .arg(zona)
        .arg(testoNumero(qint64(numero)), descrizione);
}

Segnalatore installaSegnalatore(Segnalatore segnalatore)
{
    return std::exchange(segnalatoreAttivo(), std::move(segnalatore));
}

bool segnalatoreInstallato()
{
    return bool(segnalatoreAttivo());
}

void segnala(const RapportoZona &rapporto)
{
    if (segnalatoreAttivo())
        segnalatoreAttivo()(rapporto);
    else
        qWarning().noquote() << rapporto.testo();
}
