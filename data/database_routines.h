#pragma once

// The database routines by name and zone. Each opens the file, does its work,
// closes it; on any failure it shows its zone report once and returns its
// failure value (false, empty text, 0). No window opens the database itself.

#include <QList>
#include <QString>
#include <QStringList>

// The company name and four lines that head every printout; program-wide,
// empty until first read.
extern QString AziendaNome;
extern QString AziendaInfo1;
extern QString AziendaInfo2;
extern QString AziendaInfo3;
extern QString AziendaInfo4;

// The operation codes of a goods movement.
inline constexpr qint16 OPERAZIONE_ACQUISTO = 1;
inline constexpr qint16 OPERAZIONE_VENDITA = 2;

// Zone 1: records one goods movement (operation 1 purchase, 2 sale with its
// pieces negated) dated giorno (dd/MM/yyyy) and brings the article's stock
// row up to date, all in one transaction. A failed stock update is reported
// as zone 4; either way nothing is written and the result is false.
bool RegistraProdotto(const QString &codiceTipo, const QString &codice, qint32 prezzoAcquisto,
                      qint32 prezzoVendita, qint16 pezzi, qint16 operazione,
                      const QString &giorno);

// Zone 2: adds a type with the code as given (no trimming, equal codes allowed).
bool AggiungiTipo(const QString &codice);

// Zone 3: every type code, in ascending code order; empty after a report.
QStringList CaricaTipi();

// Zone 4: adds pieces to the stock row of an article code, or creates it;
// the row takes the given sale price and type.
bool AggiornaRimanenze(const QString &codice, qint32 idTipo, qint16 pezzi, qint32 prezzo);

// Zone 6: deletes one type; rows that carry its id keep it.
bool CancellaTipo(qint32 idTipo);

// Zone 7: the code of a type id; empty when there is no such type.
QString CodiceTipo(qint32 idTipo);

// Zone 8: the id of a type code (compared without regard to case); with
// equal codes the oldest type; 0 when there is none.
qint32 IdTipo(const QString &codice);

struct RigaTipo
{
    qint32 id = 0;
    QString codice;
};

// Zone 11: every type, in ascending code order; empty after a report.
QList<RigaTipo> VisualizzaTipi();

// Zone 12: reads the one generalità row into the company fields. With no row
// the fields keep their values. False after a report.
bool LeggiGeneralita();

// Zone 17: writes the company row, creating it when the table has none.
bool SalvaGeneralita(const QString &nome, const QString &info1, const QString &info2,
                     const QString &info3, const QString &info4);

// Zone 19: the stock codes of a type that begin with prefisso, taken
// literally and without regard to case, in code order; empty after a report.
QStringList SuggerimentiCodice(qint32 idTipo, const QString &prefisso);
