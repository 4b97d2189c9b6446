#include "common/formati.h"
#include "data/database_routines.h"
#include "data/lettura.h"
#include "data/routine.h"

#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

constexpr qint64 MINIMO_32 = std::numeric_limits<qint32>::min();
constexpr qint64 MASSIMO_32 = std::numeric_limits<qint32>::max();

void somma(qint64 &totale, qint64 prezzo, qint64 pezzi)
{
    totale = importo(sommaImporti(totale, importo(prodottoImporti(prezzo, pezzi))));
}

// A long list names a few thousand articles hundreds of times each: every
// code is made once and its text shared by all its rows.
class Codici final
{
public:
    const QString &codice(QByteArrayView utf8)
    {
        const std::string_view chiave(utf8.data(), size_t(utf8.size()));
        auto trovato = codici_.find(chiave);
        if (trovato == codici_.end())
            trovato = codici_.emplace(std::string(chiave), QString::fromUtf8(utf8)).first;
        return trovato->second;
    }

private:
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view testo) const
        {
            return std::hash<std::string_view>{}(testo);
        }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> codici_;
};

} // namespace

bool VisualizzaOperazioni(qint16 operazione, const QString &codiceTipo, const QDate &dal,
                          const QDate &al, ElencoOperazioni &elenco)
{
    elenco = ElencoOperazioni{};
    qint64 vendite = 0;
    qint64 acquisti = 0;
    const bool riuscita = eseguiRoutine(Zona::VisualizzaOperazioni, [&](Sessione &s) {
        // The few type codes are read once rather than joined to every row.
        Lettura tipi(s, "SELECT id, codice FROM tipo");
        while (tipi.prossima())
            elenco.codiciTipo.insert(qint32(tipi.intero(0, MINIMO_32, MASSIMO_32)), tipi.testo(1));

        // The type's id is looked up inside the statement, as IdTipo would
        // find it (the oldest of equal codes); an unknown code lists nothing.
        QByteArray sql = "SELECT p.id, p.dataop, p.codice, p.tipo, p.prezzoacquisto,"
                         " p.prezzovendita, p.pezzi FROM prodotto p WHERE p.operazione = ?";
        QVariantList valori{operazione};
        if (!codiceTipo.isEmpty()) {
            sql += " AND p.tipo = (SELECT id FROM tipo WHERE codice = ? ORDER BY id LIMIT 1)";
            valori.append(codiceTipo);
        }
        if (dal.isValid()) {
            sql += " AND p.dataop >= ?";
            valori.append(dal.toString(Qt::ISODate));
        }
        if (al.isValid()) {
            sql += " AND p.dataop <= ?";
            valori.append(al.toString(Qt::ISODate));
        }
        sql += " ORDER BY p.dataop, p.codice, p.tipo, p.id";
        Lettura q(s, sql.constData(), valori);

        Codici codici;
        // Rows come grouped by day: each day is read once.
        QByteArray isoPrecedente;
        RigaOperazione riga;
        while (q.prossima()) {
            riga.id = q.intero(0);
            const QByteArrayView iso = q.utf8(1);
            if (iso != isoPrecedente) {
                isoPrecedente = iso.toByteArray();
                riga.data = giornoIso(iso);
            }
            riga.codice = codici.codice(q.utf8(2));
            riga.tipo = qint32(q.intero(3, MINIMO_32, MASSIMO_32));
            riga.prezzoAcquisto = q.intero(4);
            riga.prezzoVendita = q.intero(5);
            riga.pezzi = qint32(q.intero(6, MINIMO_32, MASSIMO_32));
            elenco.righe.append(riga);
            somma(vendite, riga.prezzoVendita, riga.pezzi);
            somma(acquisti, riga.prezzoAcquisto, riga.pezzi);
        }
    });
    if (riuscita) {
        elenco.totaleVendite = vendite;
        elenco.totaleAcquisti = acquisti;
    }
    return riuscita;
}

bool CancellaOperazione(qint64 id)
{
    return eseguiRoutine(Zona::CancellaOperazione, [&](Sessione &s) {
        s.esegui(QStringLiteral("DELETE FROM prodotto WHERE id = ?"), {id});
    });
}
