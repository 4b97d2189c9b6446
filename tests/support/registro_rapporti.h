#pragma once

#include "data/rapporto.h"

#include <QList>

// Records zone reports instead of showing them, while it lives; then the
// reporter it replaced is back.
class RegistroRapporti final
{
public:
    RegistroRapporti();
    ~RegistroRapporti();
    RegistroRapporti(const RegistroRapporti &) = delete;
    RegistroRapporti &operator=(const RegistroRapporti &) = delete;

    const QList<RapportoZona> &rapporti() const { return rapporti_; }
    QList<int> zone() const;
    void azzera() { rapporti_.clear(); }

private:
    QList<RapportoZona> rapporti_;
    Segnalatore precedente_;
};
