#include "common/formati.h"
#include "data/database_routines.h"
#include "data/routine.h"

#include <QHash>

namespace {

void somma(qint64 &totale, qint64 prezzo, qint64 pezzi)
{
    totale = importo(sommaImporti(totale, importo(prodottoImporti(prezzo, pezzi))));
}

} // namespace

bool VisualizzaOperazioni(qint16 operazione, const QString &codiceTipo, const QString &dal,
                          const QString &al,
                          const std::function<void(const RigaOperazione &)> &visita,
                          qint64 &totaleVendite, qint64 &totaleAcquisti)
{
    qint64 vendite = 0;
    qint64 acquisti = 0;
    const bool riuscita = eseguiRoutine(16, [&](Sessione &s) {
        const QString dalIso = dataInIso(dal);
        const QString alIso = dataInIso(al);
        if (dalIso.isEmpty() != dal.isEmpty() || alIso.isEmpty() != al.isEmpty())
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("not a day: %1 %2").arg(dal, al));
        // The type's id is looked up inside the statement, as IdTipo would
        // find it (the oldest of equal codes); an unknown code lists nothing.
        // The few type codes are read once rather than joined to every row.
        QHash<qint64, QString> codiciTipo;
        QSqlQuery tipi = s.esegui(QStringLiteral("SELECT id, codice FROM tipo"));
        while (Sessione::prossima(tipi))
            codiciTipo.insert(colonnaIntero(tipi, 0), colonnaTesto(tipi, 1));
        tipi.finish();

        QString sql = QStringLiteral(
            "SELECT p.id, p.dataop, p.codice, p.tipo, p.prezzoacquisto, p.prezzovendita, p.pezzi"
            " FROM prodotto p WHERE p.operazione = ?");
        QVariantList valori{operazione};
        if (!codiceTipo.isEmpty()) {
            sql += QStringLiteral(
                " AND p.tipo = (SELECT id FROM tipo WHERE codice = ? ORDER BY id LIMIT 1)");
            valori.append(codiceTipo);
        }
        if (!dalIso.isEmpty()) {
            sql += QStringLiteral(" AND p.dataop >= ?");
            valori.append(dalIso);
        }
        if (!alIso.isEmpty()) {
            sql += QStringLiteral(" AND p.dataop <= ?");
            valori.append(alIso);
        }
        sql += QStringLiteral(" ORDER BY p.dataop, p.codice, p.tipo, p.id");

        QSqlQuery q = s.prepara(sql);
        for (int i = 0; i < valori.size(); ++i)
            q.bindValue(i, valori.at(i));
        s.esegui(q);

        // Rows come grouped by day: each day's text is made once and shared.
        QString isoPrecedente;
        RigaOperazione riga;
        while (Sessione::prossima(q)) {
            riga.id = colonnaIntero(q, 0);
            const QString iso = colonnaTesto(q, 1);
            if (iso != isoPrecedente) {
                isoPrecedente = iso;
                riga.data = dataDaIso(iso);
            }
            riga.codice = colonnaTesto(q, 2);
            // A deleted type leaves its id behind and shows no code.
            riga.tipo = codiciTipo.value(colonnaIntero(q, 3));
            riga.prezzoAcquisto = colonnaIntero(q, 4);
            riga.prezzoVendita = colonnaIntero(q, 5);
            riga.pezzi = colonnaIntero(q, 6);
            visita(riga);
            somma(vendite, riga.prezzoVendita, riga.pezzi);
            somma(acquisti, riga.prezzoAcquisto, riga.pezzi);
        }
    });
    if (riuscita) {
        totaleVendite = vendite;
        totaleAcquisti = acquisti;
    }
    return riuscita;
}

bool VisualizzaOperazioni(qint16 operazione, const QString &codiceTipo, const QString &giorno,
                          ElencoOperazioni &elenco)
{
    elenco = ElencoOperazioni{};
    return VisualizzaOperazioni(
        operazione, codiceTipo, giorno, giorno,
        [&elenco](const RigaOperazione &riga) { elenco.righe.append(riga); },
        elenco.totaleVendite, elenco.totaleAcquisti);
}

bool CancellaOperazione(qint64 id)
{
    return eseguiRoutine(22, [&](Sessione &s) {
        s.esegui(QStringLiteral("DELETE FROM prodotto WHERE id = ?"), {id});
    });
}
