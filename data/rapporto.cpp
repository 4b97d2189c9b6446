#include "data/rapporto.h"

#include "common/formati.h"

#include <QDebug>

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

void installaSegnalatore(Segnalatore segnalatore)
{
    segnalatoreAttivo() = std::move(segnalatore);
}

void segnala(const RapportoZona &rapporto)
{
    if (segnalatoreAttivo())
        segnalatoreAttivo()(rapporto);
    else
        qWarning().noquote() << rapporto.testo();
}
