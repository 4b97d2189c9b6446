#include "data/database_routines.h"
#include "data/routine.h"

bool CancellaRimanenza(const QString &codice)
{
    return eseguiRoutine(Zona::CancellaRimanenza, [&](Sessione &s) {
        s.esegui(QStringLiteral("DELETE FROM rimanenze WHERE codice=?"), {codice});
    });
}

bool AggiornaPrezzo(const QString &codice, qint32 prezzo)
{
    return eseguiRoutine(Zona::AggiornaPrezzo, [&](Sessione &s) {
        s.esegui(QStringLiteral("UPDATE rimanenze SET prezzo=? WHERE codice=?"), {prezzo, codice});
    });
}

std::optional<QList<RigaRimanenza>> VisualizzaRimanenze(qint32 idTipo)
{
    QList<RigaRimanenza> righe;
    const bool riuscito = eseguiRoutine(Zona::VisualizzaRimanenze, [&](Sessione &s) {
        // The (tipo, codice) index gives the rows already in code order.
        QSqlQuery q = s.esegui(QStringLiteral("SELECT codice, prezzo, pezzi FROM rimanenze"
                                              " WHERE tipo=? ORDER BY codice"),
                               {idTipo});
        while (Sessione::prossima(q))
            righe.append({colonnaTesto(q, 0), colonnaIntero(q, 1), colonnaIntero(q, 2)});
    });
    if (!riuscito)
        return std::nullopt;
    return righe;
}
