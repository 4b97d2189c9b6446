#include "common/formati.h"
#include "data/database_routines.h"
#include "data/lettura.h"
#include "data/routine.h"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr qint64 MINIMO_32 = std::numeric_limits<qint32>::min();
constexpr qint64 MASSIMO_32 = std::numeric_limits<qint32>::max();

void somma(qint64 &totale, qint64 prezzo, qint64 pezzi)
{
    totale = importo(sommaImporti(totale, importo(prodottoImporti(prezzo, pezzi))));
}

// The stored text equals the bytes read: ASCII is compared unit by unit,
// anything else decoded first.
bool uguale(const QString &testo, QByteArrayView utf8)
{
    const auto ascii = [](char b) { return uchar(b) < 0x80; };
    if (testo.size() == utf8.size()) {
        const QChar *unita = testo.constData();
        qsizetype i = 0;
        for (; i < utf8.size() && ascii(utf8[i]); ++i) {
            if (unita[i].unicode() != uchar(utf8[i]))
                return false;
        }
        if (i == utf8.size())
            return true;
    } else if (std::all_of(utf8.begin(), utf8.end(), ascii)) {
        return false;
    }
    return testo == QString::fromUtf8(utf8);
}

// A long list names a few thousand articles hundreds of times each: every
// code is made once and its text shared by all its rows. The table is flat
// and keeps the text in the slot: a lookup touches the slot and the text it
// shares anyway, where a chained map chased two more pointers per row.
class Codici final
{
public:
    Codici() : posti_(1024) {}

    const QString &codice(QByteArrayView utf8)
    {
        const std::string_view chiave(utf8.data(), size_t(utf8.size()));
        const size_t hash = std::hash<std::string_view>{}(chiave) | 1; // 0 marks a free slot
        const size_t maschera = posti_.size() - 1;
        size_t i = hash & maschera;
        for (; posti_[i].hash != 0; i = (i + 1) & maschera) {
            if (posti_[i].hash == hash && uguale(posti_[i].codice, utf8))
                return posti_[i].codice;
        }
        if (4 * (usati_ + 1) > 3 * posti_.size()) {
            raddoppia();
            return codice(utf8);
        }
        ++usati_;
        posti_[i].hash = hash;
        posti_[i].codice = QString::fromUtf8(utf8);
        return posti_[i].codice;
    }

private:
    struct Posto
    {
        size_t hash = 0;
        QString codice;
    };

    void raddoppia()
    {
        std::vector<Posto> vecchi(posti_.size() * 2);
        vecchi.swap(posti_);
        const size_t maschera = posti_.size() - 1;
        for (Posto &posto : vecchi) {
            if (posto.hash == 0)
                continue;
            size_t i = posto.hash & maschera;
            while (posti_[i].hash != 0)
                i = (i + 1) & maschera;
            posti_[i] = std::move(posto);
        }
    }

    std::vector<Posto> posti_;
    size_t usati_ = 0;
};

} // namespace

ElencoOperazioni VisualizzaOperazioni(qint16 operazione, const QString &codiceTipo, const QDate &dal,
                                      const QDate &al, const std::function<bool(ElencoOperazioni &)> &partite)
{
    ElencoOperazioni elenco;
    bool fermata = false;
    const bool riuscita = eseguiRoutine(Zona::VisualizzaOperazioni, [&](Sessione &s) {
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
        // The few type codes are read once rather than joined to every row,
        // in the same round trip as the rows.
        Lettura q(s, "SELECT id, codice FROM tipo", sql.constData(), valori);
        while (q.prossima())
            elenco.codiciTipo.insert(qint32(q.intero(0, MINIMO_32, MASSIMO_32)), q.testo(1));
        q.successiva();

        Codici codici;
        Scaglioni scaglioni;
        // Rows come grouped by day: each day is read once.
        QByteArray isoPrecedente;
        RigaOperazione riga;
        while (q.prossima()) {
            if (!scaglioni.prima(partite, elenco, elenco.righe)) {
                fermata = true;
                return;
            }
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
            somma(elenco.totaleVendite, riga.prezzoVendita, riga.pezzi);
            somma(elenco.totaleAcquisti, riga.prezzoAcquisto, riga.pezzi);
        }
        fermata = !scaglioni.fine(partite, elenco, elenco.righe);
    });
    elenco.completo = riuscita && !fermata;
    if (!riuscita)
        elenco.totaleVendite = elenco.totaleAcquisti = 0;
    return elenco;
}

bool CancellaOperazione(qint64 id)
{
    return eseguiRoutine(Zona::CancellaOperazione, [&](Sessione &s) {
        s.esegui(QStringLiteral("DELETE FROM prodotto WHERE id = ?"), {id});
    });
}
