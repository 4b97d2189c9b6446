#pragma once

#include "data/routine.h"

#include <QDate>
#include <QString>

class Sessione;

// The work behind RegistraProdotto and AggiornaRimanenze on a session the
// caller has opened, so that a checkout can record many movements in its own
// single transaction. Failures are thrown as ErroreRoutine; the caller's
// transaction is what undoes a half-written movement.

// Built with designated initializers: the two prices are never told apart
// by position.
struct Movimento
{
    qint32 idTipo = 0;
    QString codice;
    qint32 prezzoAcquisto = 0;
    qint32 prezzoVendita = 0;
    qint16 pezzi = 0;
    qint16 operazione = 0;
    QDate giorno;
};

// The statements of a movement, prepared once for as many as a sale holds.
class IstruzioniMovimento final
{
public:
    explicit IstruzioniMovimento(Sessione &sessione);

    // Inserts the movement, then updates the stock row: a purchase adds its
    // pieces and sets the row's price and type, a sale changes the pieces
    // only. A failure of the stock update carries zone 4.
    void registra(const Movimento &movimento);
    // The stock update alone, as a purchase makes it.
    void aggiornaRimanenze(const QString &codice, qint32 idTipo, qint16 pezzi, qint32 prezzo);

private:
    void scorta(Istruzione &aggiorna, const QVariantList &valori, const QString &codice,
                qint32 idTipo, qint16 pezzi, qint32 prezzo);

    Sessione &sessione_;
    Istruzione movimento_;
    Istruzione carico_;
    Istruzione scarico_;
    Istruzione nuovaScorta_;
};

// The id of a type code as IdTipo finds it (the oldest of equal codes); a
// failure when there is none.
qint32 idDelTipo(Sessione &sessione, const QString &codiceTipo);
