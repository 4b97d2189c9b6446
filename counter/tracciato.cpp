#include "counter/tracciato.h"

#include "common/formati.h"
#include "common/messaggi.h"
#include "data/database_routines.h"

namespace {

QString primaMetaRiga(const QString &valore)
{
    return campoFisso(valore, 49, 50);
}

} // namespace

QString lineaSeparatrice()
{
    return QString(LARGHEZZA_SEPARATORE, QChar(0x2014));
}

QString campoFisso(const QString &valore, int spazi, int larghezza)
{
    QString campo = (valore + QString(spazi, u' ')).left(larghezza);
    // Half an emoji would print as garbage: a blank takes its place.
    if (campo.size() == larghezza && larghezza > 0 && campo.back().isHighSurrogate())
        campo.back() = u' ';
    return campo;
}

QStringList righeTestata(const DatiAzienda &azienda, SecondaRiga seconda, qint64 numeroRicevuta,
                         const QString &oggi)
{
    QString secondaRiga;
    switch (seconda) {
    case SecondaRiga::Ricevuta:
        secondaRiga = primaMetaRiga(azienda.info1) + QStringLiteral(" Ricevuta n.: ")
            + QString::number(numeroRicevuta);
        break;
    case SecondaRiga::ElencoRicevute:
        secondaRiga = primaMetaRiga(azienda.info1);
        break;
    case SecondaRiga::ElencoOperazioni:
        secondaRiga = azienda.info1;
        break;
    }
    return {
        lineaSeparatrice(),
        primaMetaRiga(azienda.nome) + QStringLiteral(" Data Operazione: ") + oggi,
        secondaRiga,
        azienda.info2,
        azienda.info3,
        azienda.info4,
        lineaSeparatrice(),
    };
}

QString rigaRicevuta(const QStringList &celle)
{
    const auto cella = [&celle](int i) { return i < celle.size() ? celle[i] : QString(); };
    return campoFisso(cella(0), 32, 35) + campoFisso(cella(1), 30, 15)
        + campoFisso(cella(2), 30, 13) + campoFisso(cella(3), 10, 6)
        + campoFisso(cella(4), 10, 13);
}

QString piedeRicevuta(qsizetype elementi, const QString &totale)
{
    return QStringLiteral("Elementi: ") + QString::number(elementi) + QStringLiteral("      Totale: ")
        + totale;
}

QString cellaCarrello(const RigaCarrello &riga, int colonna)
{
    switch (colonna) {
    case 0:
        return riga.codice;
    case 1:
        return riga.tipo;
    case 2:
        return formatoNumero(riga.prezzo, MODELLO_DENARO);
    case 3:
        return formatoNumero(riga.pezzi, MODELLO_DENARO_CORTO);
    case 4:
        return formatoNumero(riga.totale, MODELLO_DENARO);
    }
    return QString();
}

QString testoTotaleCarrello(qint64 totale)
{
    return formatoNumero(totale, MODELLO_TOTALE);
}

Elenco elencoRicevuta(qint64 numero, const QList<RigaCarrello> &righe, qint64 totale,
                      const QDate &giorno)
{
    Elenco elenco;
    elenco.giorno = giorno;
    elenco.documento = QStringLiteral("Ricevuta %1").arg(numero);
    elenco.seconda = SecondaRiga::Ricevuta;
    elenco.numeroRicevuta = numero;
    elenco.intestazione = INTESTAZIONE_RICEVUTA;
    for (const RigaCarrello &riga : righe) {
        QStringList celle;
        for (int colonna = 0; colonna < COLONNE_CARRELLO; ++colonna)
            celle.append(cellaCarrello(riga, colonna));
        elenco.righe.append(rigaRicevuta(celle));
    }
    elenco.piede = piedeRicevuta(righe.size(), testoTotaleCarrello(totale));
    return elenco;
}

QString cellaRicevuta(const RigaRicevuta &ricevuta, int colonna)
{
    switch (colonna) {
    case 0:
        return testoGiorno(ricevuta.data);
    case 1:
        return formatoNumero(ricevuta.codice, MODELLO_DENARO);
    case 2:
        return formatoNumero(ricevuta.totale, MODELLO_DENARO);
    }
    return QString();
}

QString rigaElencoRicevute(const RigaRicevuta &ricevuta)
{
    return campoFisso(cellaRicevuta(ricevuta, 0), 32, 12)
        + campoFisso(cellaRicevuta(ricevuta, 1), 30, 12)
        + campoFisso(cellaRicevuta(ricevuta, 2), 30, 15);
}

QString piedeElencoRicevute(qsizetype elementi, qint64 somma)
{
    return piedeRicevuta(elementi, formatoNumero(somma, MODELLO_DENARO));
}

EsitoStampa stampaElenco(Stampante &stampante, const Elenco &elenco, const DatiAzienda &azienda)
{
    stampante.impostaCarattere(CARATTERE_STAMPA);
    stampante.impostaDimensione(DIMENSIONE_STAMPA);
    for (const QString &riga :
         righeTestata(azienda, elenco.seconda, elenco.numeroRicevuta, testoGiorno(elenco.giorno)))
        stampante.stampaRiga(riga);
    stampante.impostaGrassetto(true);
    stampante.stampaRiga(elenco.intestazione);
    stampante.impostaGrassetto(false);
    for (const QString &riga : elenco.righe)
        stampante.stampaRiga(riga);
    stampante.stampaRiga(lineaSeparatrice());
    stampante.stampaRiga(elenco.piede);
    return stampante.fineDocumento();
}

EsitoStampa stampaEAvvisa(QWidget *genitore, const Elenco &elenco, const DatiAzienda &azienda)
{
    const std::unique_ptr<Stampante> stampante = nuovaStampante(elenco.documento);
    const EsitoStampa esito = stampaElenco(*stampante, elenco, azienda);
    mostraMessaggio(genitore, messaggioEsito(esito), QMessageBox::Ok, TITOLO_PROGRAMMA,
                    QMessageBox::NoIcon, QMessageBox::NoButton, esito.dettaglio);
    return esito;
}
