#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

class QWidget;

// What a careless or hostile user puts into a field, and how it gets there.
struct ValoreOstile
{
    QString nome;
    QString testo;
    bool incollato = false; // pasted (Ctrl+V) rather than typed key by key
};
Q_DECLARE_METATYPE(ValoreOstile)

// Quotes, LIKE and glob wildcards, a backslash, 1,000 characters, accents
// and an emoji, blanks only, the empty text.
QList<ValoreOstile> testiOstili();

// For number fields: the texts above, then a negative number, one past the
// 32-bit limit, one past the 16-bit limit, letters pasted in, and 1,000
// digits.
QList<ValoreOstile> numeriOstili();

// Types the text into the widget with the keyboard, one key per character;
// characters beyond ASCII travel as key events carrying their text.
void digita(QWidget *campo, const QString &testo);

// Puts the text on the clipboard and presses Ctrl+V in the widget.
void incolla(QWidget *campo, const QString &testo);

// As the value says: typed or pasted.
void immetti(QWidget *campo, const ValoreOstile &valore);
