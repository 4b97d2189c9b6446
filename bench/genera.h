#pragma once

#include <QString>

// The size of a shop file after years of use.
struct DimensioniNegozio
{
    int tipi = 50;
    int articoli = 20000;
    int movimenti = 1000000;
    int ricevute = 100000;
    int righeCarrello = 200;
    int primoAnno = 2015;
    int ultimoAnno = 2024;
};

// The same shop after fattore times its trade: movements and receipts grow,
// types, articles and years stay.
DimensioniNegozio dimensioniPerFattore(int fattore);

// Writes a new file through the program's own schema, then fills it with a
// deterministic, realistic history drawn from seme. False with errore set on
// failure; an existing file is never touched.
bool generaNegozio(const QString &percorso, quint64 seme, const DimensioniNegozio &dimensioni,
                   QString *errore);
