#pragma once

#include "counter/tracciato.h"

#include <QList>
#include <QString>
#include <QStringList>

// The operations list on the shared printed layout: the heading's columns
// start at 0, 13, 48, 63, 76 and 89.
inline const QString INTESTAZIONE_ELENCO_OPERAZIONI = QStringLiteral(
    "Data         Codice articolo                    Tipo articolo  Prezzo Acq.  Prezzo Ven.  Pezzi");

// One printed line from the seven cells of a register row as shown (ID,
// date, code, type, purchase price, sale price, pieces); the ID is not printed.
QString rigaElencoOperazioni(const QStringList &celle);

// The totals are the texts the window shows, whatever the rows now listed.
QString piedeElencoOperazioni(qsizetype elementi, const QString &totaleVendite,
                              const QString &totaleAcquisti);

Elenco elencoOperazioni(const QList<QStringList> &righe, const QString &totaleVendite,
                        const QString &totaleAcquisti);
