#include "data/database_routines.h"
#include "data/movimenti.h"
#include "data/ricevute.h"
#include "data/routine.h"

#include "common/formati.h"

#include <QDate>

namespace {

// Runs one step of the sale; a failure carries the zone of the routine whose
// work the step is, unless a deeper step named its own already.
template <typename Passo>
auto inZona(int zona, Passo passo)
{
    try {
        return passo();
    } catch (ErroreRoutine &errore) {
        if (errore.zona == 0)
            errore.zona = zona;
        throw;
    }
}

} // namespace

EsitoVendita RegistraVendita(const QList<RigaVendita> &righe, qint64 totale, const QString &giorno)
{
    EsitoVendita esito;
    const bool riuscita = eseguiRoutine(1, [&](Sessione &s) {
        const QDate data = QDate::fromString(dataInIso(giorno), Qt::ISODate);
        if (!data.isValid())
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
        Transazione t(s);
        for (const RigaVendita &riga : righe) {
            inZona(1, [&] {
                registraMovimento(s, {riga.tipo, riga.codice, 0, riga.prezzo,
                                      qint16(-riga.pezzi), OPERAZIONE_VENDITA, giorno});
            });
            const int tolte = inZona(10, [&] {
                return s.esegui(QStringLiteral("DELETE FROM carrello"
                                               " WHERE codice=? AND pezzi=? AND prezzo=?"),
                                {riga.codice, riga.pezzi, riga.prezzo})
                    .numRowsAffected();
            });
            if (tolte != 1) {
                // Leaving without conferma() rolls the whole sale back.
                esito.stato = EsitoVendita::Stato::CarrelloCambiato;
                return;
            }
        }
        // A line added since the list was shown would be left out silently.
        const bool restano = inZona(10, [&] {
            QSqlQuery q = s.esegui(QStringLiteral("SELECT EXISTS (SELECT 1 FROM carrello)"));
            return Sessione::prossima(q) && colonnaIntero(q, 0) != 0;
        });
        if (restano) {
            esito.stato = EsitoVendita::Stato::CarrelloCambiato;
            return;
        }
        esito.numeroRicevuta = inZona(13, [&] { return inserisciRicevuta(s, totale, data); });
        t.conferma();
        esito.stato = EsitoVendita::Stato::Registrata;
    });
    if (!riuscita)
        return {};
    return esito;
}
