#include "common/formati.h"
#include "data/database_routines.h"
#include "data/routine.h"

#include <QHash>

namespace {

void somma(qint64 &totale, qint64 prezzo, qint64 pezzi)
{
    qint64 importo = 0;
    if (__builtin_mul_overflow(prezzo, pezzi, &importo)
        || __builtin_add_overflow(totale, importo, &totale))
        fallisci(1, QStringLiteral("integer overflow")); // as the engine's own sum() says
}

} // namespace

bool VisualizzaOperazioni(qint16 operazione, const QString &codiceTipo, const QString &giorno,
                          ElencoOperazioni &elenco)
{
    elenco = ElencoOperazioni{};
    return eseguiRoutine(16, [&](Sessione &s) {
        QString giornoIso;
        if (!giorno.isEmpty()) {
            giornoIso = dataInIso(giorno);
            if (giornoIso.isEmpty())
                fallisci(ERRORE_TIPO_DATO, QStringLiteral("not a day: %1").arg(giorno));
        }
        // The type's id is looked up inside the statement, as IdTipo would
        // find it (the oldest of equal codes); an unknown code lists nothing.
        QString sql = QStringLiteral(
            "SELECT p.id, p.dataop, p.codice, p.tipo, t.codice,"
            " p.prezzoacquisto, p.prezzovendita, p.pezzi"
            " FROM prodotto p LEFT JOIN tipo t ON t.id = p.tipo"
            " WHERE p.operazione = ?");
        if (!codiceTipo.isEmpty())
            sql += QStringLiteral(
                " AND p.tipo = (SELECT id FROM tipo WHERE codice = ? ORDER BY id LIMIT 1)");
        if (!giornoIso.isEmpty())
            sql += QStringLiteral(" AND p.dataop = ?");
        sql += QStringLiteral(" ORDER BY p.dataop, p.codice, p.tipo, p.id");

        QSqlQuery q = s.prepara(sql);
        if (codiceTipo.isEmpty() && giornoIso.isEmpty())
            s.esegui(q, {operazione});
        else if (giornoIso.isEmpty())
            s.esegui(q, {operazione, codiceTipo});
        else if (codiceTipo.isEmpty())
            s.esegui(q, {operazione, giornoIso});
        else
            s.esegui(q, {operazione, codiceTipo, giornoIso});

        // Rows come grouped by day and a few types recur throughout: each day
        // and each type code is made once and shared by its rows.
        QString isoPrecedente;
        QString dataPrecedente;
        QHash<qint64, QString> codiciTipo;
        while (Sessione::prossima(q)) {
            RigaOperazione riga;
            riga.id = colonnaIntero(q, 0);
            const QString iso = colonnaTesto(q, 1);
            if (iso != isoPrecedente) {
                isoPrecedente = iso;
                dataPrecedente = dataDaIso(iso);
            }
            riga.data = dataPrecedente;
            riga.codice = colonnaTesto(q, 2);
            const qint64 idTipo = colonnaIntero(q, 3);
            auto tipo = codiciTipo.constFind(idTipo);
            if (tipo == codiciTipo.cend()) {
                // A deleted type leaves its id behind and shows no code.
                const QVariant codice = q.value(4);
                tipo = codiciTipo.insert(idTipo, codice.isNull() ? QString() : codice.toString());
            }
            riga.tipo = *tipo;
            riga.prezzoAcquisto = colonnaIntero(q, 5);
            riga.prezzoVendita = colonnaIntero(q, 6);
            riga.pezzi = colonnaIntero(q, 7);
            elenco.righe.append(std::move(riga));
            const RigaOperazione &letta = elenco.righe.constLast();
            somma(elenco.totaleVendite, letta.prezzoVendita, letta.pezzi);
            somma(elenco.totaleAcquisti, letta.prezzoAcquisto, letta.pezzi);
        }
    });
}

bool CancellaOperazione(qint64 id)
{
    return eseguiRoutine(22, [&](Sessione &s) {
        s.esegui(QStringLiteral("DELETE FROM prodotto WHERE id = ?"), {id});
    });
}
