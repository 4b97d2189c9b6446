#include "data/movimenti.h"

#include "data/database_routines.h"
#include "data/routine.h"

#include <limits>

namespace {

// LIKE's escape character, chosen because codes rarely hold it.
constexpr QChar FUGA = u'!';

// The text as LIKE matches it literally, its wildcards escaped.
QString letterale(const QString &testo)
{
    QString modello;
    modello.reserve(testo.size() + 2);
    for (QChar c : testo) {
        if (c == u'%' || c == u'_' || c == FUGA)
            modello.append(FUGA);
        modello.append(c);
    }
    return modello;
}

} // namespace

namespace {

// A statement of the stock update: a failure to prepare it is that step's.
Istruzione preparaScorta(Sessione &sessione, const QString &sql)
{
    return inZona(Zona::AggiornaRimanenze, [&] { return sessione.prepara(sql); });
}

} // namespace

IstruzioniMovimento::IstruzioniMovimento(Sessione &sessione)
    : sessione_(sessione)
    , movimento_(sessione.prepara(QStringLiteral(
          "INSERT INTO prodotto (tipo, codice, prezzoacquisto, prezzovendita, pezzi, operazione,"
          " dataop) VALUES (?, ?, ?, ?, ?, ?, ?)")))
    , carico_(preparaScorta(sessione, QStringLiteral("UPDATE rimanenze SET pezzi=pezzi+?, prezzo=?,"
                                                     " tipo=? WHERE codice=?")))
    , scarico_(preparaScorta(sessione,
                             QStringLiteral("UPDATE rimanenze SET pezzi=pezzi+? WHERE codice=?")))
    , nuovaScorta_(preparaScorta(sessione, QStringLiteral("INSERT INTO rimanenze (codice, tipo,"
                                                          " pezzi, prezzo) VALUES (?, ?, ?, ?)")))
{
}

void IstruzioniMovimento::scorta(Istruzione &aggiorna, const QVariantList &valori,
                                 const QString &codice, qint32 idTipo, qint16 pezzi, qint32 prezzo)
{
    // A stock row deleted while its article sat in the cart comes back below
    // zero, as a purchase would have created it.
    if (sessione_.esegui(aggiorna, valori).cambiate() == 0)
        sessione_.esegui(nuovaScorta_, {codice, idTipo, pezzi, prezzo});
}

void IstruzioniMovimento::aggiornaRimanenze(const QString &codice, qint32 idTipo, qint16 pezzi,
                                            qint32 prezzo)
{
    scorta(carico_, {pezzi, prezzo, idTipo, codice}, codice, idTipo, pezzi, prezzo);
}

void IstruzioniMovimento::registra(const Movimento &m)
{
    if (!m.giorno.isValid())
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    sessione_.esegui(movimento_, {m.idTipo, m.codice, m.prezzoAcquisto, m.prezzoVendita, m.pezzi,
                                  m.operazione, m.giorno.toString(Qt::ISODate)});
    inZona(Zona::AggiornaRimanenze, [&] {
        // A sale takes pieces only: the price and type the shopkeeper set in
        // the stock window meanwhile stay.
        if (m.operazione == OPERAZIONE_VENDITA)
            scorta(scarico_, {m.pezzi, m.codice}, m.codice, m.idTipo, m.pezzi, m.prezzoVendita);
        else
            aggiornaRimanenze(m.codice, m.idTipo, m.pezzi, m.prezzoVendita);
    });
}

qint32 idDelTipo(Sessione &sessione, const QString &codiceTipo)
{
    Righe tipo = sessione.esegui(
        QStringLiteral("SELECT id FROM tipo WHERE codice=? ORDER BY id LIMIT 1"), {codiceTipo});
    if (!Sessione::prossima(tipo))
        fallisciInItaliano(ERRORE_NON_TROVATO, QStringLiteral("Il tipo %1 non esiste.").arg(codiceTipo));
    return qint32(colonnaIntero(tipo, 0, std::numeric_limits<qint32>::min(),
                                std::numeric_limits<qint32>::max()));
}

bool RegistraProdotto(const QString &codiceTipo, const QString &codice, qint32 prezzoAcquisto,
                      qint32 prezzoVendita, qint16 pezzi, qint16 operazione, const QDate &giorno)
{
    return eseguiRoutine(Zona::RegistraProdotto, [&](Sessione &s) {
        Transazione t(s);
        const qint32 idTipo = idDelTipo(s, codiceTipo);
        IstruzioniMovimento(s).registra({.idTipo = idTipo,
                                         .codice = codice,
                                         .prezzoAcquisto = prezzoAcquisto,
                                         .prezzoVendita = prezzoVendita,
                                         .pezzi = pezzi,
                                         .operazione = operazione,
                                         .giorno = giorno});
        t.conferma();
    });
}

bool AggiornaRimanenze(const QString &codice, qint32 idTipo, qint16 pezzi, qint32 prezzo)
{
    return eseguiRoutine(Zona::AggiornaRimanenze, [&](Sessione &s) {
        Transazione t(s);
        IstruzioniMovimento(s).aggiornaRimanenze(codice, idTipo, pezzi, prezzo);
        t.conferma();
    });
}

std::optional<QStringList> SuggerimentiCodice(qint32 idTipo, const QString &prefisso)
{
    QStringList codici;
    const bool riuscito = eseguiRoutine(Zona::SuggerimentiCodice, [&](Sessione &s) {
        Righe q = s.esegui(QStringLiteral("SELECT codice FROM rimanenze WHERE tipo=?"
                                              " AND codice LIKE ? ESCAPE '!' ORDER BY codice"),
                               {idTipo, letterale(prefisso) + u'%'});
        while (Sessione::prossima(q))
            codici.append(colonnaTesto(q, 0));
    });
    if (!riuscito)
        return std::nullopt;
    return codici;
}

std::optional<QList<RigaRimanenza>> TrovaRimanenze(const QString &parte)
{
    QList<RigaRimanenza> righe;
    const bool riuscito = eseguiRoutine(Zona::TrovaRimanenze, [&](Sessione &s) {
        Righe q = s.esegui(QStringLiteral("SELECT r.codice, r.prezzo, r.pezzi, coalesce(t.codice, '')"
                                              " FROM rimanenze r LEFT JOIN tipo t ON t.id = r.tipo"
                                              " WHERE r.codice LIKE ? ESCAPE '!' ORDER BY r.codice"),
                               {u'%' + letterale(parte) + u'%'});
        while (Sessione::prossima(q))
            righe.append({colonnaTesto(q, 0), colonnaIntero(q, 1), colonnaIntero(q, 2), colonnaTesto(q, 3)});
    });
    if (!riuscito)
        return std::nullopt;
    return righe;
}
