#pragma once

#include <QDate>

class Sessione;

// The receipt statements for use inside a routine that already holds an open
// session, so that checkout can write its receipt in the same transaction as
// the sales it records.

// Inserts one receipt and returns the number the database gave it.
qint64 inserisciRicevuta(Sessione &sessione, qint64 totale, const QDate &giorno);

// The highest receipt number, 0 when there is none.
qint64 ultimaRicevuta(Sessione &sessione);
