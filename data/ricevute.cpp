#include "data/ricevute.h"

#include "common/formati.h"
#include "data/database_routines.h"
#include "data/dialetto.h"
#include "data/lettura.h"
#include "data/routine.h"

#include <optional>

qint64 inserisciRicevuta(Sessione &sessione, qint64 totale, const QDate &giorno)
{
    return sessione.dialetto().inserisci(sessione, QStringLiteral("INSERT INTO ricevuta (dataop, totale) VALUES (?, ?)"),
                                         {giorno.toString(Qt::ISODate), totale}, QStringLiteral("codice"));
}

qint64 ultimaRicevuta(Sessione &sessione)
{
    Righe q = sessione.esegui(QStringLiteral("SELECT MAX(codice) FROM ricevuta"));
    if (!Sessione::prossima(q) || q.nullo(0))
        return 0;
    return colonnaIntero(q, 0);
}

bool AggiungiRicevuta(qint64 totale)
{
    return eseguiRoutine(Zona::AggiungiRicevuta, [&](Sessione &s) { inserisciRicevuta(s, totale, oggi()); });
}

std::optional<QList<RigaRicevuta>> VisualizzaRicevute(const QDate &giorno,
                                                      const Partite<RigaRicevuta> &partite)
{
    QList<RigaRicevuta> righe;
    const bool riuscita = eseguiRoutine(Zona::VisualizzaRicevute, [&](Sessione &s) {
        std::optional<Lettura> q;
        if (giorno.isValid())
            q.emplace(s, "SELECT codice, dataop, totale FROM ricevuta WHERE dataop = ?"
                         " ORDER BY dataop, codice",
                      QVariantList{giorno.toString(Qt::ISODate)});
        else
            q.emplace(s, "SELECT codice, dataop, totale FROM ricevuta ORDER BY dataop, codice");
        // Receipts come by day: each day is read once.
        QByteArray isoPrecedente;
        QDate data;
        Scaglioni scaglioni;
        while (q->prossima()) {
            if (!scaglioni.prima(partite, righe, righe))
                return;
            const QByteArrayView iso = q->utf8(1);
            if (iso != isoPrecedente) {
                isoPrecedente = iso.toByteArray();
                data = giornoIso(iso);
            }
            righe.append({q->intero(0), data, q->intero(2)});
        }
        scaglioni.fine(partite, righe, righe);
    });
    if (!riuscita)
        return std::nullopt;
    return righe;
}

bool CancellaRicevuta(qint64 codice)
{
    return eseguiRoutine(Zona::CancellaRicevuta, [&](Sessione &s) {
        s.esegui(QStringLiteral("DELETE FROM ricevuta WHERE codice = ?"), {codice});
    });
}

std::optional<qint64> UltimaRicevuta()
{
    qint64 numero = 0;
    if (!eseguiRoutine(Zona::UltimaRicevuta, [&](Sessione &s) { numero = ultimaRicevuta(s); }))
        return std::nullopt;
    return numero;
}
