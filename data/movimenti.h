#pragma once

#include <QString>

class Sessione;

// The work behind RegistraProdotto and AggiornaRimanenze on a session the
// caller has opened, so that a checkout can record many movements in its own
// single transaction. Failures are thrown as ErroreRoutine; the caller's
// transaction is what undoes a half-written movement.

struct Movimento
{
    QString codiceTipo;
    QString codice;
    qint32 prezzoAcquisto = 0;
    qint32 prezzoVendita = 0;
    qint16 pezzi = 0;
    qint16 operazione = 0;
    QString giorno; // dd/MM/yyyy
};

// Inserts the movement, then updates the stock row (a sale changes its pieces
// only); a failure of the stock update carries zone 4.
void registraMovimento(Sessione &sessione, const Movimento &movimento);

// A purchase: adds the pieces and sets the row's price and type.
void aggiornaRimanenze(Sessione &sessione, const QString &codice, qint32 idTipo, qint16 pezzi,
                       qint32 prezzo);
// A sale: adds the (negative) pieces only; price and type are those of a new
// row when the code has none.
void scaricaRimanenze(Sessione &sessione, const QString &codice, qint32 idTipo, qint16 pezzi,
                      qint32 prezzo);
