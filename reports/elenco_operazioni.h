#pragma once

#include "counter/tracciato.h"
#include "data/database_routines.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

// The register's columns, as the window shows them.
enum class ColonnaOperazione {
    Id = 0,
    Data = 1,
    Codice = 2,
    Tipo = 3,
    PrezzoAcquisto = 4,
    PrezzoVendita = 5,
    Pezzi = 6,
};
inline constexpr int COLONNE_OPERAZIONI = 7;

// A movement's cell as the window shows it and the listing prints it; tipi
// gives each type id its code.
QString cellaOperazione(const RigaOperazione &riga, const QHash<qint32, QString> &tipi,
                        ColonnaOperazione colonna);

// The operations list on the shared printed layout: the heading's columns
// start at 0, 13, 48, 63, 76 and 89.
inline const QString INTESTAZIONE_ELENCO_OPERAZIONI = QStringLiteral(
    "Data         Codice articolo                    Tipo articolo  Prezzo Acq.  Prezzo Ven.  Pezzi");

// One printed line of a movement; its ID is not printed.
QString rigaElencoOperazioni(const RigaOperazione &riga, const QHash<qint32, QString> &tipi);

// The totals are those the window shows, whatever the rows now listed.
QString piedeElencoOperazioni(qsizetype elementi, qint64 totaleVendite, qint64 totaleAcquisti);

// The listing of elementi rows, each given by riga in order.
Elenco elencoOperazioni(qsizetype elementi, const std::function<RigaOperazione(qsizetype)> &riga,
                        const QHash<qint32, QString> &tipi, qint64 totaleVendite, qint64 totaleAcquisti);
