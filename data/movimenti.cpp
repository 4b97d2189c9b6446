#include "data/movimenti.h"

#include "common/formati.h"
#include "data/database_routines.h"
#include "data/routine.h"

#include <limits>

namespace {

constexpr int ZONA_RIMANENZE = 4;

// LIKE's escape character, chosen because codes rarely hold it.
constexpr QChar FUGA = u'!';

QString prefissoLetterale(const QString &prefisso)
{
    QString modello;
    modello.reserve(prefisso.size() + 1);
    for (QChar c : prefisso) {
        if (c == u'%' || c == u'_' || c == FUGA)
            modello.append(FUGA);
        modello.append(c);
    }
    modello.append(u'%');
    return modello;
}

} // namespace

void aggiornaRimanenze(Sessione &sessione, const QString &codice, qint32 idTipo, qint16 pezzi,
                       qint32 prezzo)
{
    QSqlQuery q = sessione.esegui(
        QStringLiteral("UPDATE rimanenze SET pezzi=pezzi+?, prezzo=?, tipo=? WHERE codice=?"),
        {pezzi, prezzo, idTipo, codice});
    if (q.numRowsAffected() == 0) {
        sessione.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo)"
                                       " VALUES (?, ?, ?, ?)"),
                        {codice, idTipo, pezzi, prezzo});
    }
}

void scaricaRimanenze(Sessione &sessione, const QString &codice, qint32 idTipo, qint16 pezzi,
                      qint32 prezzo)
{
    QSqlQuery q = sessione.esegui(
        QStringLiteral("UPDATE rimanenze SET pezzi=pezzi+? WHERE codice=?"), {pezzi, codice});
    // A stock row deleted while its article sat in the cart comes back
    // below zero, as a purchase would have created it.
    if (q.numRowsAffected() == 0) {
        sessione.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo)"
                                       " VALUES (?, ?, ?, ?)"),
                        {codice, idTipo, pezzi, prezzo});
    }
}

void registraMovimento(Sessione &sessione, const Movimento &m)
{
    QSqlQuery tipo = sessione.esegui(
        QStringLiteral("SELECT id FROM tipo WHERE codice=? ORDER BY id LIMIT 1"), {m.codiceTipo});
    // No such type: reading its id fails, as a missing value always does.
    if (!Sessione::prossima(tipo))
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    const auto idTipo = qint32(colonnaIntero(tipo, 0, std::numeric_limits<qint32>::min(),
                                             std::numeric_limits<qint32>::max()));
    tipo.finish();

    const QString giornoIso = dataInIso(m.giorno);
    if (giornoIso.isEmpty())
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));

    sessione.esegui(QStringLiteral("INSERT INTO prodotto (tipo, codice, prezzovendita,"
                                   " prezzoacquisto, pezzi, operazione, dataop)"
                                   " VALUES (?, ?, ?, ?, ?, ?, ?)"),
                    {idTipo, m.codice, m.prezzoVendita, m.prezzoAcquisto, m.pezzi, m.operazione,
                     giornoIso});
    try {
        // A sale takes pieces only: the price and type the shopkeeper set in
        // the stock window meanwhile stay.
        if (m.operazione == OPERAZIONE_VENDITA)
            scaricaRimanenze(sessione, m.codice, idTipo, m.pezzi, m.prezzoVendita);
        else
            aggiornaRimanenze(sessione, m.codice, idTipo, m.pezzi, m.prezzoVendita);
    } catch (ErroreRoutine &errore) {
        errore.zona = ZONA_RIMANENZE;
        throw;
    }
}

bool RegistraProdotto(const QString &codiceTipo, const QString &codice, qint32 prezzoAcquisto,
                      qint32 prezzoVendita, qint16 pezzi, qint16 operazione,
                      const QString &giorno)
{
    return eseguiRoutine(1, [&](Sessione &s) {
        Transazione t(s);
        registraMovimento(s, {codiceTipo, codice, prezzoAcquisto, prezzoVendita, pezzi,
                              operazione, giorno});
        t.conferma();
    });
}

bool AggiornaRimanenze(const QString &codice, qint32 idTipo, qint16 pezzi, qint32 prezzo)
{
    return eseguiRoutine(ZONA_RIMANENZE, [&](Sessione &s) {
        Transazione t(s);
        aggiornaRimanenze(s, codice, idTipo, pezzi, prezzo);
        t.conferma();
    });
}

QStringList SuggerimentiCodice(qint32 idTipo, const QString &prefisso)
{
    QStringList codici;
    const bool riuscito = eseguiRoutine(19, [&](Sessione &s) {
        QSqlQuery q = s.esegui(QStringLiteral("SELECT codice FROM rimanenze WHERE tipo=?"
                                              " AND codice LIKE ? ESCAPE '!' ORDER BY codice"),
                               {idTipo, prefissoLetterale(prefisso)});
        while (Sessione::prossima(q))
            codici.append(colonnaTesto(q, 0));
    });
    return riuscito ? codici : QStringList();
}
