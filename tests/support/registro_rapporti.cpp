#include "support/registro_rapporti.h"

RegistroRapporti::RegistroRapporti()
{
    precedente_ = installaSegnalatore([this](const RapportoZona &r) { rapporti_.append(r); });
}

RegistroRapporti::~RegistroRapporti()
{
    installaSegnalatore(std::move(precedente_));
}

QList<int> RegistroRapporti::zone() const
{
    QList<int> risultato;
    for (const RapportoZona &r : rapporti_)
        risultato.append(r.zona);
    return risultato;
}
