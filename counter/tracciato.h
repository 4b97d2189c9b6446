#pragma once

#include "common/formati.h"
#include "counter/stampante.h"
#include "data/database_routines.h"

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// The layout every printout shares: a 108-dash separator, five header lines
// with the company information, the bold heading, the rows as fixed-width
// fields, a separator and the footer. The lines are built by plain functions
// so that they can be checked blank by blank.

inline constexpr int LARGHEZZA_SEPARATORE = 108;
inline const QString CARATTERE_STAMPA = QStringLiteral("Courier New");
inline constexpr int DIMENSIONE_STAMPA = 10;

QString lineaSeparatrice();

// The value followed by the blanks, cut to the width. A short value gives a
// field shorter than the width: the blanks are counted, not the width.
QString campoFisso(const QString &valore, int spazi, int larghezza);

// The second header line differs by listing.
enum class SecondaRiga {
    Ricevuta,          // info1 padded, then the receipt number
    ElencoRicevute,    // info1 padded
    ElencoOperazioni,  // info1 as it is
};

// The separator, the five header lines and the closing separator.
QStringList righeTestata(const DatiAzienda &azienda, SecondaRiga seconda, qint64 numeroRicevuta,
                         const QString &oggi);

struct Elenco
{
    QString documento; // what is printed, for the file name of a saved printout
    QDate giorno = oggi(); // the day its header prints: a receipt's is its sale's
    SecondaRiga seconda = SecondaRiga::ElencoRicevute;
    qint64 numeroRicevuta = 0;
    QString intestazione; // the bold heading line
    QStringList righe;
    QString piede;
};

// A cart line's cells as the cart window shows them and the receipt prints
// them: code, type, price, pieces, line total.
QString cellaCarrello(const RigaCarrello &riga, int colonna);
inline constexpr int COLONNE_CARRELLO = 5;
// The cart total as the window shows it and the receipt prints it.
QString testoTotaleCarrello(qint64 totale);

// The customer receipt: the five cells of each cart line and the cart total.
inline const QString INTESTAZIONE_RICEVUTA = QStringLiteral(
    "Codice articolo                    Tipo articolo  Prezzo    Pezzi    Totale");
QString rigaRicevuta(const QStringList &celle);
QString piedeRicevuta(qsizetype elementi, const QString &totale);
Elenco elencoRicevuta(qint64 numero, const QList<RigaCarrello> &righe, qint64 totale,
                      const QDate &giorno);

// A receipt's cells as the receipts window shows them: date, number, total.
QString cellaRicevuta(const RigaRicevuta &ricevuta, int colonna);

// The receipts list: date, number and total of each receipt, and their sum.
inline const QString INTESTAZIONE_ELENCO_RICEVUTE = QStringLiteral("Data        Ricevuta      Totale");
QString rigaElencoRicevute(const RigaRicevuta &ricevuta);
QString piedeElencoRicevute(qsizetype elementi, qint64 somma);

// Prints a whole listing: font, header with the company information the
// caller has just read, bold heading, rows, separator, footer, end of document.
EsitoStampa stampaElenco(Stampante &stampante, const Elenco &elenco, const DatiAzienda &azienda);

// Prints on the program's printer and shows the closing message.
EsitoStampa stampaEAvvisa(QWidget *genitore, const Elenco &elenco, const DatiAzienda &azienda);
