#pragma once

#include <QDate>
#include <QString>
#include <QByteArrayView>
#include <QStringView>

class QDate;

#include <functional>
#include <optional>

// The program's number and date conventions are Italian whatever the system
// locale: "." groups thousands, "," is the decimal comma, days are dd/MM/yyyy.

inline constexpr QStringView MODELLO_DENARO = u"###,###,###";
inline constexpr QStringView MODELLO_DENARO_CORTO = u"###,###";
inline constexpr QStringView MODELLO_CONTEGGIO = u"###,##0";
inline constexpr QStringView MODELLO_TOTALE = u"###,###,##0";

// A whole number in one of the patterns above: "," groups by three with ".",
// each "0" is a digit always shown; with no "0" the value 0 is the empty text.
QString formatoNumero(qint64 valore, QStringView modello);

// The number as joined into texts: one blank before a number that is not
// negative (" 5", "-3"); "." is the decimal point.
QString testoNumero(qint64 valore);

// The leading number of a text: blanks are skipped, reading stops at the
// first character that cannot continue a number, "." is the decimal point;
// an empty or non-numeric text gives 0.
double leggiNumeroIniziale(QStringView testo);

// A number typed by the user: optional sign, digits grouped by "." and an
// optional decimal comma; surrounding blanks allowed. Empty when the text is
// not such a number.
std::optional<double> leggiNumeroDigitato(QStringView testo);

// Nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4).
double arrotondaPari(double valore);

// Money sums and products in 64 bits; empty when the result does not fit,
// so that an overflow is reported rather than shown as a wrapped number.
std::optional<qint64> sommaImporti(qint64 a, qint64 b);
std::optional<qint64> prodottoImporti(qint64 a, qint64 b);

// Today, as the program's clock says: a sale and its receipt read it once.
QDate oggi();
// Tests install a clock of their own; the previous one is returned, none
// is the system's.
using Orologio = std::function<QDate()>;
Orologio installaOrologio(Orologio orologio);
// Today as dd/MM/yyyy.
QString dataOggi();
// A day as dd/MM/yyyy; empty for an invalid date.
QString testoGiorno(const QDate &giorno);
// A stored day (yyyy-MM-dd) read without the general date parser; invalid
// when the text is not a real day so written.
QDate giornoIso(QByteArrayView testo);

// A code or a type description as typed or pasted: leading and trailing
// blanks removed. Empty when the text holds a line break, a tab or another
// control character, which would store an article no scan can find.
std::optional<QString> codicePulito(QStringView testo);
