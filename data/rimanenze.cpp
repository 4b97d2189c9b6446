#include "data/database_routines.h"
#include "data/lettura.h"
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

std::optional<QList<RigaRimanenza>> righeDiScorta(const char *sql, const QVariant &tipo,
                                                  const Partite<RigaRimanenza> &partite = {})
{
    QList<RigaRimanenza> righe;
    const bool riuscito = eseguiRoutine(Zona::VisualizzaRimanenze, [&](Sessione &s) {
        Lettura q(s, sql, {tipo});
        Scaglioni scaglioni;
        while (q.prossima()) {
            if (!scaglioni.prima(partite, righe, righe))
                return;
            righe.append({q.testo(0), q.intero(1), q.intero(2)});
        }
        scaglioni.fine(partite, righe, righe);
    });
    if (!riuscito)
        return std::nullopt;
    return righe;
}

} // namespace

// The (tipo, codice) index gives the rows already in code order.
std::optional<QList<RigaRimanenza>> VisualizzaRimanenze(qint32 idTipo)
{
    return righeDiScorta("SELECT codice, prezzo, pezzi FROM rimanenze WHERE tipo=? ORDER BY codice", idTipo);
}

std::optional<QList<RigaRimanenza>> RimanenzeDelTipo(const QString &codiceTipo,
                                                     const Partite<RigaRimanenza> &partite)
{
    return righeDiScorta("SELECT codice, prezzo, pezzi FROM rimanenze WHERE tipo ="
                         " (SELECT id FROM tipo WHERE codice=? ORDER BY id LIMIT 1)"
                         " ORDER BY codice",
                         codiceTipo, partite);
}
