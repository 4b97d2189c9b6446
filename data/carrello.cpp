#include "common/formati.h"
#include "data/database_routines.h"
#include "data/dialetto.h"
#include "data/routine.h"

#include <limits>

EsitoCarrello AggiungiCarrello(const QString &codice, qint16 pezzi)
{
    EsitoCarrello esito = EsitoCarrello::Aggiunto;
    const bool riuscita = eseguiRoutine(Zona::AggiungiCarrello, [&](Sessione &s) {
        // The same steps as the server's own function, in one round trip.
        if (s.dialetto().perRete()) {
            Righe q = s.esegui(QStringLiteral("SELECT vorendi_carrello(?, ?)"), {codice, pezzi});
            const qint64 risposta = q.prossima() ? colonnaIntero(q, 0, 0, 2) : -1;
            if (risposta == 2)
                fallisciInItaliano(ERRORE_NON_TROVATO, QStringLiteral("L'articolo %1 non è in magazzino.").arg(codice));
            if (risposta < 0)
                fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
            esito = risposta == 1 ? EsitoCarrello::PezziInsufficienti : EsitoCarrello::Aggiunto;
            return;
        }
        Transazione t(s);
        Righe scorta = s.esegui(
            QStringLiteral("SELECT tipo, prezzo FROM rimanenze WHERE codice=?"), {codice});
        if (!Sessione::prossima(scorta))
            fallisciInItaliano(ERRORE_NON_TROVATO, QStringLiteral("L'articolo %1 non è in magazzino.").arg(codice));
        const qint64 tipo = colonnaIntero(scorta, 0);
        qint64 prezzo = colonnaIntero(scorta, 1);
        scorta.finisci();

        Righe riga = s.esegui(
            QStringLiteral("SELECT pezzi, prezzo FROM carrello WHERE codice=?"), {codice});
        const bool esiste = Sessione::prossima(riga);
        qint64 nuoviPezzi = pezzi;
        if (esiste) {
            nuoviPezzi = importo(sommaImporti(colonnaIntero(riga, 0), pezzi));
            // The line keeps the price it was created at, so its total is
            // always its price times its pieces, whatever the stock says now.
            prezzo = colonnaIntero(riga, 1);
        }
        riga.finisci();
        // A line below one piece would become a sale of nothing, or a
        // negative one: refused, first addition included.
        if (nuoviPezzi < 1) {
            esito = EsitoCarrello::PezziInsufficienti;
            return;
        }
        const qint64 totale = importo(prodottoImporti(nuoviPezzi, prezzo));
        if (esiste) {
            s.esegui(QStringLiteral("UPDATE carrello SET pezzi=?, totale=? WHERE codice=?"),
                     {nuoviPezzi, totale, codice});
        } else {
            s.esegui(QStringLiteral("INSERT INTO carrello (tipo, codice, prezzo, pezzi, totale)"
                                    " VALUES (?, ?, ?, ?, ?)"),
                     {tipo, codice, prezzo, nuoviPezzi, totale});
        }
        t.conferma();
    });
    return riuscita ? esito : EsitoCarrello::Errore;
}

std::optional<QList<RigaCarrello>> VisualizzaCarrello()
{
    QList<RigaCarrello> righe;
    if (!eseguiRoutine(Zona::VisualizzaCarrello, [&](Sessione &s) {
        Righe q = s.esegui(QStringLiteral(
            "SELECT c.codice, c.tipo, COALESCE(t.codice, ''), c.prezzo, c.pezzi"
            " FROM carrello c LEFT JOIN tipo t ON t.id = c.tipo"
            " ORDER BY c.tipo, c.prezzo"));
        qint64 totale = 0;
        while (Sessione::prossima(q)) {
            RigaCarrello riga{colonnaTesto(q, 0),
                              qint32(colonnaIntero(q, 1, std::numeric_limits<qint32>::min(),
                                                   std::numeric_limits<qint32>::max())),
                              colonnaTesto(q, 2), colonnaIntero(q, 3), colonnaIntero(q, 4), 0};
            // Computed, not read from the stored total, so that a line, the
            // cart's total and the receipt always agree; a line or a sum
            // beyond 64 bits is a fault, never a wrapped number.
            riga.totale = importo(prodottoImporti(riga.prezzo, riga.pezzi));
            totale = importo(sommaImporti(totale, riga.totale));
            righe.append(riga);
        }
    }))
        return std::nullopt;
    return righe;
}

qint64 totaleCarrello(const QList<RigaCarrello> &righe)
{
    // VisualizzaCarrello has checked that these lines' sum fits.
    qint64 totale = 0;
    for (const RigaCarrello &riga : righe)
        totale += riga.totale;
    return totale;
}

bool CancellaCarrello(const QString &codice)
{
    return eseguiRoutine(Zona::CancellaCarrello, [&](Sessione &s) {
        s.esegui(QStringLiteral("DELETE FROM carrello WHERE codice=?"), {codice});
    });
}
