#pragma once

#include "data/dialetto.h"

#include <QString>
#include <QStringList>

#include <vector>

// The shop's tables described once: the file's and the server's DDL and the
// migration's column lists all come from here.

struct Colonna
{
    const char *nome;
    Dialetto::Genere genere;
    bool obbligatoria = true;         // NOT NULL
    const char *predefinito = nullptr; // DEFAULT
};

struct Indice
{
    const char *nome;
    const char *colonne;
    bool unico = false;
};

struct Tabella
{
    const char *nome; // as the routines name it
    std::vector<Colonna> colonne;
    std::vector<Indice> indici;
    // Kept per counter: on the server every counter's rows live in the
    // table so named, each counter seeing its own through a view.
    const char *diTutte = nullptr;
    bool unaRiga = false; // starts with one row of empty texts
    const char *molte;    // the rows, for the shopkeeper ("movimenti")
    const char *una;      // one row
};

const std::vector<Tabella> &tabelle();

// The table's name in SQL, quoted when it is not plain ASCII.
QString nomeSql(const char *nome);
// Where a table's rows are stored on this engine.
QString doveSta(const Dialetto &dialetto, const Tabella &tabella);
// The stored columns of a table as the routines see them, comma separated.
QString elencoColonne(const Tabella &tabella);
// Every table's name where its rows are stored, for a shop's recognition.
QStringList nomiTabelle(const Dialetto &dialetto);

// The statements that build an empty shop on this engine; with indici
// false, all but the indexes, which istruzioniIndici() then gives.
QStringList istruzioniSchema(const Dialetto &dialetto, bool indici = true);
QStringList istruzioniIndici(const Dialetto &dialetto);
