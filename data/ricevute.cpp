#include "data/ricevute.h"

#include "common/formati.h"
#include "data/database_routines.h"
#include "data/lettura.h"
#include "data/routine.h"

#include <optional>

qint64 inserisciRicevuta(Sessione &sessione, qint64 totale, const QDate &giorno)
{
    const QVariantList valori{giorno.toString(Qt::ISODate), totale};
    if (sessione.server()) {
        QSqlQuery q = sessione.esegui(
            QStringLiteral("INSERT INTO ricevuta (dataop, totale) VALUES (?, ?) RETURNING codice"), valori);
        if (!Sessione::prossima(q))
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("receipt number not returned"));
        return colonnaIntero(q, 0, 1);
    }
    QSqlQuery q = sessione.esegui(QStringLiteral("INSERT INTO ricevuta (dataop, totale) VALUES (?, ?)"), valori);
    bool ok = false;
    const qint64 numero = q.lastInsertId().toLongLong(&ok);
    if (!ok || numero <= 0)
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("receipt number not returned"));
    return numero;
}

qint64 ultimaRicevuta(Sessione &sessione)
{
    QSqlQuery q = sessione.esegui(QStringLiteral("SELECT MAX(codice) FROM ricevuta"));
    if (!Sessione::prossima(q) || q.value(0).isNull())
        return 0;
    return colonnaIntero(q, 0);
}

bool AggiungiRicevuta(qint64 totale)
{
    return eseguiRoutine(Zona::AggiungiRicevuta, [&](Sessione &s) { inserisciRicevuta(s, totale); });
}

std::optional<QList<RigaRicevuta>> VisualizzaRicevute(const QDate &giorno)
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
        while (q->prossima()) {
            const QByteArrayView iso = q->utf8(1);
            if (iso != isoPrecedente) {
                isoPrecedente = iso.toByteArray();
                data = giornoIso(iso);
            }
            righe.append({q->intero(0), data, q->intero(2)});
        }
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

qint64 UltimaRicevuta()
{
    qint64 numero = 0;
    eseguiRoutine(Zona::UltimaRicevuta, [&](Sessione &s) { numero = ultimaRicevuta(s); });
    return numero;
}
