#include "data/database_routines.h"
#include "data/dialetto.h"
#include "data/movimenti.h"
#include "data/ricevute.h"
#include "data/routine.h"

EsitoVendita RegistraVendita(const QList<RigaVendita> &righe, qint64 totale, const QDate &giorno)
{
    EsitoVendita esito;
    const bool riuscita = eseguiRoutine(Zona::RegistraProdotto, [&](Sessione &s) {
        if (!giorno.isValid())
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
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
            movimenti.registra({riga.idTipo, riga.codice, 0, riga.prezzo, qint16(-riga.pezzi),
                                OPERAZIONE_VENDITA, giorno});
            const int tolte = inZona(Zona::CancellaCarrello, [&] {
                s.esegui(togli, {riga.codice, riga.pezzi, riga.prezzo});
                return togli.numRowsAffected();
            });
            if (tolte != 1) {
                // Leaving without conferma() rolls the whole sale back.
                esito.stato = EsitoVendita::Stato::CarrelloCambiato;
                return;
            }
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
    });
    if (!riuscita)
        return {};
    return esito;
}
