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

namespace {

std::optional<QList<RigaRimanenza>> righeDiScorta(const QString &sql, const QVariant &tipo)
{
    QList<RigaRimanenza> righe;
    const bool riuscito = eseguiRoutine(Zona::VisualizzaRimanenze, [&](Sessione &s) {
        Righe q = s.esegui(sql, {tipo});
        while (Sessione::prossima(q))
            righe.append({colonnaTesto(q, 0), colonnaIntero(q, 1), colonnaIntero(q, 2)});
    });
    if (!riuscito)
        return std::nullopt;
    return righe;
}

} // namespace

// The (tipo, codice) index gives the rows already in code order.
std::optional<QList<RigaRimanenza>> VisualizzaRimanenze(qint32 idTipo)
{
    return righeDiScorta(QStringLiteral("SELECT codice, prezzo, pezzi FROM rimanenze WHERE tipo=? ORDER BY codice"),
                         idTipo);
}

std::optional<QList<RigaRimanenza>> RimanenzeDelTipo(const QString &codiceTipo)
{
    return righeDiScorta(QStringLiteral("SELECT codice, prezzo, pezzi FROM rimanenze WHERE tipo ="
                                        " (SELECT id FROM tipo WHERE codice=? ORDER BY id LIMIT 1)"
                                        " ORDER BY codice"),
                         codiceTipo);
}
