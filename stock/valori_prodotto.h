#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The rules of the purchase entry fields, free of any window.

// A price field's text after a key: read as a number (thousands points
// accepted), cut to its whole part and grouped by thousands; 0 is the empty
// text. A text that is not a number comes back unchanged.
QString riformattaPrezzo(QStringView testo);

// A price as recorded: a whole number from 0 to the 32-bit maximum, grouped
// or not; empty for anything else, the empty text included.
std::optional<qint32> leggiPrezzo(QStringView testo);

// Pieces: the leading number of the text (empty or blank text is 0), halves
// to even; empty when the text holds no number at the start, or one outside
// the 16-bit range.
std::optional<qint16> leggiPezzi(QStringView testo);

// Whether a pieces text is blank or starts with a number, as opposed to
// letters, which leggiPezzi refuses as well.
bool pezziInCifre(QStringView testo);

// Where the caret goes in a regrouped price so that it keeps its place
// among the digits: after as many digits as stood before it.
int posizioneTraCifre(QStringView testo, int cifrePrima);
// The digits before a position of a text.
int cifrePrima(QStringView testo, int posizione);

// Pieces asked for the cart: as leggiPezzi, but a text that does not start
// with a number asks for nothing (0), as an empty answer does.
std::optional<qint16> leggiPezziCarrello(QStringView testo);
