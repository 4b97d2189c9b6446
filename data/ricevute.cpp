#include "data/ricevute.h"

#include "common/formati.h"
#include "data/database_routines.h"
#include "data/routine.h"

qint64 inserisciRicevuta(Sessione &sessione, qint64 totale, const QDate &giorno)
{
    QSqlQuery q = sessione.esegui(
        QStringLiteral("INSERT INTO ricevuta (dataop, totale) VALUES (?, ?)"),
        {giorno.toString(Qt::ISODate), totale});
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
    return eseguiRoutine(13, [&](Sessione &s) { inserisciRicevuta(s, totale); });
}

std::optional<QList<RigaRicevuta>> VisualizzaRicevute(const QString &data)
{
    QList<RigaRicevuta> righe;
    const bool riuscita = eseguiRoutine(14, [&](Sessione &s) {
        QSqlQuery q;
        if (data.isEmpty()) {
            q = s.esegui(QStringLiteral(
                "SELECT codice, dataop, totale FROM ricevuta ORDER BY dataop, codice"));
        } else {
            const QString giorno = dataInIso(data);
            if (giorno.isEmpty())
                fallisci(ERRORE_TIPO_DATO, QStringLiteral("not a day: %1").arg(data));
            q = s.esegui(QStringLiteral("SELECT codice, dataop, totale FROM ricevuta"
                                        " WHERE dataop = ? ORDER BY dataop, codice"),
                         {giorno});
        }
        // Receipts come by day: each day's text is made once and shared.
        QString isoPrecedente;
        QString giornoPrecedente;
        while (Sessione::prossima(q)) {
            const QString iso = colonnaTesto(q, 1);
            if (iso != isoPrecedente) {
                isoPrecedente = iso;
                giornoPrecedente = dataDaIso(iso);
            }
            righe.append({colonnaIntero(q, 0), giornoPrecedente, colonnaIntero(q, 2)});
        }
    });
    if (!riuscita)
        return std::nullopt;
    return righe;
}

bool CancellaRicevuta(qint64 codice)
{
    return eseguiRoutine(15, [&](Sessione &s) {
        s.esegui(QStringLiteral("DELETE FROM ricevuta WHERE codice = ?"), {codice});
    });
}

qint64 UltimaRicevuta()
{
    qint64 numero = 0;
    eseguiRoutine(23, [&](Sessione &s) { numero = ultimaRicevuta(s); });
    return numero;
}
