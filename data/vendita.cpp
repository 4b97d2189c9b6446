#include "common/formati.h"
#include "data/database_routines.h"
#include "data/dialetto.h"
#include "data/movimenti.h"
#include "data/ricevute.h"
#include "data/routine.h"

EsitoVendita RegistraVendita(const QList<RigaVendita> &righe)
{
    // Read once: the movements, the receipt and its printout carry one day,
    // even across midnight.
    const QDate giorno = oggi();
    EsitoVendita esito;
    const bool riuscita = eseguiRoutine(Zona::RegistraProdotto, [&](Sessione &s) {
        qint64 totale = 0;
        for (const QString &istruzione : s.dialetto().primaDiMoltiCambi())
            s.esegui(istruzione);
        Transazione t(s);
        // Each statement is prepared once for the whole sale.
        IstruzioniMovimento movimenti(s);
        QSqlQuery togli = inZona(Zona::CancellaCarrello, [&] {
            return s.prepara(QStringLiteral(
                "DELETE FROM carrello WHERE codice=? AND pezzi=? AND prezzo=?"));
        });
        for (const RigaVendita &riga : righe) {
            movimenti.registra({.idTipo = riga.idTipo,
                                .codice = riga.codice,
                                .prezzoAcquisto = 0,
                                .prezzoVendita = riga.prezzo,
                                .pezzi = qint16(-riga.pezzi),
                                .operazione = OPERAZIONE_VENDITA,
                                .giorno = giorno});
            const int tolte = inZona(Zona::CancellaCarrello, [&] {
                s.esegui(togli, {riga.codice, riga.pezzi, riga.prezzo});
                return togli.numRowsAffected();
            });
            if (tolte != 1) {
                // Leaving without conferma() rolls the whole sale back.
                esito.stato = EsitoVendita::Stato::CarrelloCambiato;
                return;
            }
            // The receipt's total is the sum of the lines just matched.
            totale = inZona(Zona::AggiungiRicevuta, [&] {
                return importo(sommaImporti(totale, importo(prodottoImporti(riga.prezzo, riga.pezzi))));
            });
        }
        // A line added since the list was shown would be left out silently.
        const bool restano = inZona(Zona::CancellaCarrello, [&] {
            QSqlQuery q = s.esegui(s.dialetto().contieneRighe(QStringLiteral("carrello")));
            return Sessione::prossima(q) && colonnaIntero(q, 0) != 0;
        });
        if (restano) {
            esito.stato = EsitoVendita::Stato::CarrelloCambiato;
            return;
        }
        esito.numeroRicevuta =
            inZona(Zona::AggiungiRicevuta, [&] { return inserisciRicevuta(s, totale, giorno); });
        t.conferma();
        esito.stato = EsitoVendita::Stato::Registrata;
        esito.giorno = giorno;
        esito.totale = totale;
    });
    if (!riuscita)
        return {};
    return esito;
}
