#include "data/database_routines.h"
#include "data/dialetto.h"
#include "data/routine.h"

#include <limits>

namespace {

constexpr qint64 ID_MINIMO = std::numeric_limits<qint32>::min();
constexpr qint64 ID_MASSIMO = std::numeric_limits<qint32>::max();

} // namespace

EsitoAggiungiTipo AggiungiTipo(const QString &codice)
{
    EsitoAggiungiTipo esito;
    const bool riuscita = eseguiRoutine(Zona::AggiungiTipo, [&](Sessione &s) {
        // The check and the insert in one transaction: two types that IdTipo
        // cannot tell apart would split the articles between them.
        Transazione t(s);
        Righe uguale = s.esegui(QStringLiteral("SELECT id FROM tipo WHERE codice=? LIMIT 1"), {codice});
        const bool esiste = Sessione::prossima(uguale);
        uguale.finisci();
        if (esiste) {
            esito.stato = EsitoAggiungiTipo::Stato::Esistente;
            return;
        }
        s.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES (?)"), {codice});
        t.conferma();
        esito.stato = EsitoAggiungiTipo::Stato::Aggiunto;
    });
    return riuscita ? esito : EsitoAggiungiTipo{};
}

std::optional<QStringList> CaricaTipi()
{
    QStringList codici;
    const bool riuscito = eseguiRoutine(Zona::CaricaTipi, [&](Sessione &s) {
        Righe q = s.esegui(QStringLiteral("SELECT codice FROM tipo ORDER BY codice, id"));
        while (Sessione::prossima(q))
            codici.append(colonnaTesto(q, 0));
    });
    if (!riuscito)
        return std::nullopt;
    return codici;
}

EsitoCancellaTipo CancellaTipo(qint32 idTipo)
{
    EsitoCancellaTipo esito;
    const bool riuscita = eseguiRoutine(Zona::CancellaTipo, [&](Sessione &s) {
        // The check and the delete in one transaction, so that no article
        // can take the type in between.
        Transazione t(s);
        // Every counter's cart counts, and the tables are held still until
        // the delete is committed.
        const Dialetto &d = s.dialetto();
        const QString carrelli = d.diTutte(QStringLiteral("carrello"), QStringLiteral("carrelli"));
        for (const QString &blocco : d.blocca({QStringLiteral("rimanenze"), carrelli}))
            s.esegui(blocco);
        Righe uso = s.esegui(QStringLiteral("SELECT COUNT(*) FROM ("
                                                " SELECT codice FROM rimanenze WHERE tipo=?"
                                                " UNION SELECT codice FROM %1 WHERE tipo=?) AS uso")
                                     .arg(carrelli),
                                 {idTipo, idTipo});
        const qint64 articoli = Sessione::prossima(uso) ? colonnaIntero(uso, 0) : 0;
        uso.finisci();
        if (articoli > 0) {
            esito = {EsitoCancellaTipo::Stato::InUso, articoli};
            return;
        }
        s.esegui(QStringLiteral("DELETE FROM tipo WHERE id=?"), {idTipo});
        t.conferma();
        esito.stato = EsitoCancellaTipo::Stato::Cancellato;
    });
    return riuscita ? esito : EsitoCancellaTipo{};
}

Ricerca<QString> CodiceTipo(qint32 idTipo)
{
    std::optional<QString> codice;
    if (!eseguiRoutine(Zona::CodiceTipo, [&](Sessione &s) {
            Righe q = s.esegui(QStringLiteral("SELECT codice FROM tipo WHERE id=?"), {idTipo});
            if (Sessione::prossima(q))
                codice = colonnaTesto(q, 0);
        }))
        return std::nullopt;
    return codice;
}

Ricerca<qint32> IdTipo(const QString &codice)
{
    std::optional<qint32> id;
    if (!eseguiRoutine(Zona::IdTipo, [&](Sessione &s) {
            Righe q = s.esegui(
                QStringLiteral("SELECT id FROM tipo WHERE codice=? ORDER BY id LIMIT 1"), {codice});
            if (Sessione::prossima(q))
                id = qint32(colonnaIntero(q, 0, ID_MINIMO, ID_MASSIMO));
        }))
        return std::nullopt;
    return id;
}

std::optional<QList<RigaTipo>> VisualizzaTipi()
{
    QList<RigaTipo> righe;
    const bool riuscito = eseguiRoutine(Zona::VisualizzaTipi, [&](Sessione &s) {
        Righe q = s.esegui(QStringLiteral("SELECT id, codice FROM tipo ORDER BY codice, id"));
        while (Sessione::prossima(q))
            righe.append({qint32(colonnaIntero(q, 0, ID_MINIMO, ID_MASSIMO)), colonnaTesto(q, 1)});
    });
    if (!riuscito)
        return std::nullopt;
    return righe;
}
