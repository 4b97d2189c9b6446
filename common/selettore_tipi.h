#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

inline const QString INVITO_TIPO = QStringLiteral(">>> Seleziona TIPO <<<");

// Fills a type selector with the codes given (in their order), no entry
// chosen, the prompt as its shown text; the prompt is never an entry. Typed
// text never becomes an entry.
void riempiSelettoreTipi(QComboBox *selettore, const QStringList &codici);

// No entry chosen, the prompt shown again.
void azzeraSelettoreTipi(QComboBox *selettore);

// The entry the selector shows, matched without regard to case as codes
// are; empty when its text is the prompt or anything that is not an entry.
QString tipoScelto(const QComboBox *selettore);
