#pragma once

#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QList>
#include <QMetaType>
#include <QString>

class QComboBox;
class QLineEdit;
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

// The texts above, then a negative number, one past the 32-bit limit, one
// past the 16-bit limit, letters pasted in, and 1,000 digits.
QList<ValoreOstile> numeriOstili();

// Clears the field and fills it as the value says: pasted, or typed one key
// per character (beyond ASCII as key events carrying their text).
void immetti(QLineEdit *campo, const ValoreOstile &valore);

// A fresh file, zone reports recorded, message and input boxes answered.
struct Banco
{
    DatabaseDiProva db;
    RegistroRapporti registro;
    RisponditoreDialoghi risponditore;
};

// A window driven as a user drives it, by its elements' names.
bool mostra(QWidget &finestra);
QLineEdit *campo(const QWidget &finestra, const char *nome);
QComboBox *selettore(const QWidget &finestra, const char *nome = "Combo1");
void premi(const QWidget &finestra, const char *pulsante);
void scegli(const QWidget &finestra, const QString &voce, const char *nome = "Combo1");
// Opens Combo1's list and clicks the entry, near its left end.
void scegliDalMenu(const QWidget &finestra, const QString &voce);
// MSFlexGrid1's rows, cells joined by "|", or only the column given.
QStringList griglia(const QWidget &finestra, int colonna = -1);
void vaiARiga(const QWidget &finestra, int riga);
void doppioClic(const QWidget &finestra, int riga);
