#include "data/database_routines.h"
#include "data/routine.h"

EsitoCarrello AggiungiCarrello(const QString &codice, qint16 pezzi)
{
    EsitoCarrello esito = EsitoCarrello::Aggiunto;
    const bool riuscita = eseguiRoutine(5, [&](Sessione &s) {
        Transazione t(s);
        QSqlQuery scorta = s.esegui(
            QStringLiteral("SELECT tipo, prezzo FROM rimanenze WHERE codice=?"), {codice});
        if (!Sessione::prossima(scorta))
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
        const qint64 tipo = colonnaIntero(scorta, 0);
        const qint64 prezzo = colonnaIntero(scorta, 1);

        QSqlQuery riga = s.esegui(QStringLiteral("SELECT pezzi FROM carrello WHERE codice=?"),
                                  {codice});
        const bool esiste = Sessione::prossima(riga);
        const qint64 nuoviPezzi = (esiste ? colonnaIntero(riga, 0) : 0) + pezzi;
        // A line below one piece would become a sale of nothing, or a
        // negative one: refused, first addition included.
        if (nuoviPezzi < 1) {
            esito = EsitoCarrello::PezziInsufficienti;
            return;
        }
        if (esiste) {
            s.esegui(QStringLiteral("UPDATE carrello SET pezzi=?, totale=? WHERE codice=?"),
                     {nuoviPezzi, nuoviPezzi * prezzo, codice});
        } else {
            s.esegui(QStringLiteral("INSERT INTO carrello (tipo, codice, prezzo, pezzi, totale)"
                                    " VALUES (?, ?, ?, ?, ?)"),
                     {tipo, codice, prezzo, nuoviPezzi, nuoviPezzi * prezzo});
        }
        t.conferma();
    });
    return riuscita ? esito : EsitoCarrello::Errore;
}

bool VisualizzaCarrello(QList<RigaCarrello> &righe)
{
    righe.clear();
    return eseguiRoutine(9, [&](Sessione &s) {
        QSqlQuery q = s.esegui(QStringLiteral(
            "SELECT c.codice, COALESCE(t.codice, ''), c.prezzo, c.pezzi, c.totale"
            " FROM carrello c LEFT JOIN tipo t ON t.id = c.tipo"
            " ORDER BY c.tipo, c.prezzo"));
        while (Sessione::prossima(q)) {
            righe.append({colonnaTesto(q, 0), colonnaTesto(q, 1), colonnaIntero(q, 2),
                          colonnaIntero(q, 3), colonnaIntero(q, 4)});
        }
    });
}

qint64 totaleCarrello(const QList<RigaCarrello> &righe)
{
    qint64 totale = 0;
    for (const RigaCarrello &riga : righe)
        totale += riga.prezzo * riga.pezzi;
    return totale;
}

bool CancellaCarrello(const QString &codice)
{
    return eseguiRoutine(10, [&](Sessione &s) {
        s.esegui(QStringLiteral("DELETE FROM carrello WHERE codice=?"), {codice});
    });
}
