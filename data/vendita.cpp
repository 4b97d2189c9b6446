#include "common/formati.h"
#include "data/database_routines.h"
#include "data/dialetto.h"
#include "data/movimenti.h"
#include "data/ricevute.h"
#include "data/routine.h"
#include "data/server.h"

#include <QUuid>

namespace {

// An array as the server's text format writes it: every element quoted, so
// that a code holding a comma, a brace or a quote stays one element.
QString elenco(const QStringList &elementi)
{
    QString testo = QStringLiteral("{");
    for (const QString &e : elementi) {
        if (testo.size() > 1)
            testo += u',';
        QString protetto = e;
        protetto.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        testo += u'"' + protetto + u'"';
    }
    return testo + u'}';
}

template <typename Campo>
QString numeri(const QList<RigaVendita> &righe, Campo campo)
{
    QStringList testi;
    for (const RigaVendita &riga : righe)
        testi.append(QString::number(riga.*campo));
    return u'{' + testi.join(u',') + u'}';
}

// The sale as the steps below, in one call of the server's function: one
// round trip, whatever the cart's length.
void venditaInUnaChiamata(Sessione &s, const QList<RigaVendita> &righe, const QDate &giorno, EsitoVendita &esito)
{
    QStringList codici;
    for (const RigaVendita &riga : righe)
        codici.append(riga.codice);
    // Made by this counter, kept with the receipt: if the reply is lost,
    // the sale is found by it.
    const QString chiave = postazione() + u' ' + QUuid::createUuid().toString(QUuid::WithoutBraces);
    try {
        Righe q = s.esegui(QStringLiteral("SELECT numero, totale FROM vorendi_vendita(?, ?, ?, ?, ?, ?)"),
                           {chiave, numeri(righe, &RigaVendita::idTipo), elenco(codici),
                            numeri(righe, &RigaVendita::prezzo), numeri(righe, &RigaVendita::pezzi),
                            giorno.toString(Qt::ISODate)});
        if (!q.prossima())
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("no receipt returned"));
        esito = {EsitoVendita::Stato::Registrata, colonnaIntero(q, 0, 1), giorno, colonnaIntero(q, 1)};
    } catch (const ErroreRoutine &errore) {
        if (errore.stato == QLatin1String("VR001")) {
            esito.stato = EsitoVendita::Stato::CarrelloCambiato;
            return;
        }
        if (!errore.stato.startsWith(QLatin1String("08")))
            throw;
        // The call was sent and the link broke: the sale may be written. A
        // new connection asks by the key, and waits for the call if the
        // server is still running it.
        try {
            s.ricollega();
            Righe q = s.esegui(QStringLiteral("SELECT numero, giorno, totale FROM vorendi_esito_vendita(?)"), {chiave});
            if (q.prossima()) {
                esito = {EsitoVendita::Stato::Registrata, colonnaIntero(q, 0, 1), giornoIso(colonnaTesto(q, 1).toUtf8()),
                         colonnaIntero(q, 2)};
                return;
            }
        } catch (const ErroreRoutine &) {
            throw ErroreRoutine{errore.numero, errore.descrizione, Zona::Nessuna, errore.stato,
                                QStringLiteral("Il collegamento con il server %1 si è interrotto e non si sa se la "
                                               "vendita è stata registrata: controllare le ricevute prima di "
                                               "ripeterla.")
                                    .arg(descrizioneServer(server()))};
        }
        throw ErroreRoutine{errore.numero, errore.descrizione, Zona::Nessuna, errore.stato,
                            QStringLiteral("Il collegamento con il server %1 si è interrotto: la vendita non è stata "
                                           "registrata.")
                                .arg(descrizioneServer(server()))};
    }
}

} // namespace

EsitoVendita RegistraVendita(const QList<RigaVendita> &righe)
{
    // Read once: the movements, the receipt and its printout carry one day,
    // even across midnight.
    const QDate giorno = oggi();
    EsitoVendita esito;
    const bool riuscita = eseguiRoutine(Zona::RegistraProdotto, [&](Sessione &s) {
        if (s.dialetto().perRete()) {
            venditaInUnaChiamata(s, righe, giorno, esito);
            return;
        }
        qint64 totale = 0;
        for (const QString &istruzione : s.dialetto().primaDiMoltiCambi())
            s.esegui(istruzione);
        Transazione t(s);
        // Each statement is prepared once for the whole sale.
        IstruzioniMovimento movimenti(s);
        Istruzione togli = inZona(Zona::CancellaCarrello, [&] {
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
                return s.esegui(togli, {riga.codice, riga.pezzi, riga.prezzo}).cambiate();
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
            Righe q = s.esegui(s.dialetto().contieneRighe(QStringLiteral("carrello")));
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
