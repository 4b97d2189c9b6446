#include "bench/genera.h"

#include "data/schema.h"

#include <QDate>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace {

// splitmix64: the same numbers on every platform and library, unlike the
// standard distributions.
class Casuale
{
public:
    explicit Casuale(quint64 seme) : stato_(seme) {}
    quint64 prossimo()
    {
        quint64 z = (stato_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [minimo, massimo].
    qint64 tra(qint64 minimo, qint64 massimo)
    {
        return minimo + qint64(prossimo() % quint64(massimo - minimo + 1));
    }

private:
    quint64 stato_;
};

const char *const FAMIGLIE[] = {
    "Viti", "Bulloni", "Dadi", "Rondelle", "Chiodi", "Tasselli", "Cerniere", "Serrature",
    "Maniglie", "Lampadine", "Cavi", "Prese", "Interruttori", "Nastri", "Colle", "Vernici",
    "Pennelli", "Rulli", "Stucchi", "Silicone", "Tubi", "Raccordi", "Rubinetti", "Guarnizioni",
    "Pinze", "Cacciaviti", "Martelli", "Chiavi", "Seghe", "Lime", "Trapani", "Punte",
    "Dischi", "Carta abrasiva", "Guanti", "Occhiali", "Scale", "Secchi", "Scope", "Spugne",
    "Detersivi", "Sacchi", "Corde", "Catene", "Lucchetti", "Batterie", "Prolunghe", "Torce",
    "Metri", "Livelle",
};

class Istruzione
{
public:
    Istruzione(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Istruzione() { sqlite3_finalize(stmt_); }
    Istruzione &testo(int i, const QByteArray &v)
    {
        sqlite3_bind_text(stmt_, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Istruzione &numero(int i, qint64 v)
    {
        sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    bool esegui()
    {
        const int esito = sqlite3_step(stmt_);
        sqlite3_reset(stmt_);
        return esito == SQLITE_DONE;
    }
    bool valida() const { return stmt_ != nullptr; }

private:
    sqlite3_stmt *stmt_ = nullptr;
};

struct Articolo
{
    QByteArray codice;
    int tipo = 0;
    qint64 pezzi = 0;
    qint64 prezzo = 0;
    qint64 prezzoBase = 0;
};

} // namespace

DimensioniNegozio dimensioniPerFattore(int fattore)
{
    DimensioniNegozio d;
    d.movimenti *= fattore;
    d.ricevute *= fattore;
    return d;
}

bool generaNegozio(const QString &percorso, quint64 seme, const DimensioniNegozio &d,
                   QString *errore)
{
    if (!creaDatabase(percorso, errore))
        return false;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(percorso).constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr)
        != SQLITE_OK) {
        if (errore)
            *errore = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return false;
    }
    Casuale caso(seme);
    bool ok = sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr,
                           nullptr, nullptr)
        == SQLITE_OK;
    {
        Istruzione tipo(db, "INSERT INTO tipo (codice) VALUES (?)");
        for (int i = 0; ok && i < d.tipi; ++i) {
            const QByteArray nome = i < int(std::size(FAMIGLIE))
                ? QByteArray(FAMIGLIE[i])
                : QByteArray("Famiglia ") + QByteArray::number(i + 1);
            ok = tipo.testo(1, nome).esegui();
        }

        std::vector<Articolo> articoli(size_t(d.articoli));
        for (int i = 0; i < d.articoli; ++i) {
            Articolo &a = articoli[size_t(i)];
            a.tipo = 1 + i % d.tipi;
            const char lettera = char('A' + caso.tra(0, 25));
            a.codice = QByteArray(1, lettera) + char('A' + caso.tra(0, 25)) + '-'
                + QByteArray::number(10000 + i);
            a.prezzoBase = caso.tra(500, 2000000);
            a.prezzo = a.prezzoBase;
        }

        // Movements in calendar order, as a shop records them.
        const QDate inizio(d.primoAnno, 1, 1);
        const qint64 giorni = inizio.daysTo(QDate(d.ultimoAnno, 12, 31)) + 1;
        std::vector<qint32> date(size_t(d.movimenti));
        for (qint32 &g : date)
            g = qint32(caso.tra(0, giorni - 1));
        std::sort(date.begin(), date.end());
        Istruzione movimento(db, "INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto,"
                                 " pezzi, operazione, dataop) VALUES (?, ?, ?, ?, ?, ?, ?)");
        QByteArray giornoIso;
        qint32 giornoPrecedente = -1;
        for (int i = 0; ok && i < d.movimenti; ++i) {
            if (date[size_t(i)] != giornoPrecedente) {
                giornoPrecedente = date[size_t(i)];
                giornoIso = inizio.addDays(giornoPrecedente).toString(Qt::ISODate).toLatin1();
            }
            Articolo &a = articoli[size_t(caso.tra(0, d.articoli - 1))];
            const bool acquisto = caso.tra(0, 99) < 30;
            qint64 pezzi;
            qint64 acquistoPrezzo;
            if (acquisto) {
                pezzi = caso.tra(1, 50);
                acquistoPrezzo = std::max<qint64>(500, a.prezzoBase * caso.tra(50, 80) / 100);
                a.prezzo = std::min<qint64>(2000000, a.prezzoBase * caso.tra(95, 110) / 100);
            } else {
                pezzi = -caso.tra(1, 10);
                acquistoPrezzo = 0;
            }
            a.pezzi += pezzi;
            ok = movimento.numero(1, a.tipo)
                     .testo(2, a.codice)
                     .numero(3, a.prezzo)
                     .numero(4, acquistoPrezzo)
                     .numero(5, pezzi)
                     .numero(6, acquisto ? 1 : 2)
                     .testo(7, giornoIso)
                     .esegui();
        }

        Istruzione scorta(db, "INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES (?, ?, ?, ?)");
        for (const Articolo &a : articoli) {
            if (!ok)
                break;
            ok = scorta.testo(1, a.codice).numero(2, a.tipo).numero(3, a.pezzi).numero(4, a.prezzo).esegui();
        }

        std::vector<qint32> giorniRicevute(size_t(d.ricevute));
        for (qint32 &g : giorniRicevute)
            g = qint32(caso.tra(0, giorni - 1));
        std::sort(giorniRicevute.begin(), giorniRicevute.end());
        Istruzione ricevuta(db, "INSERT INTO ricevuta (dataop, totale) VALUES (?, ?)");
        for (qint32 g : giorniRicevute) {
            if (!ok)
                break;
            ok = ricevuta.testo(1, inizio.addDays(g).toString(Qt::ISODate).toLatin1())
                     .numero(2, caso.tra(500, 5000000))
                     .esegui();
        }

        Istruzione carrello(db, "INSERT OR IGNORE INTO carrello (tipo, codice, prezzo, pezzi, totale)"
                                " VALUES (?, ?, ?, ?, ?)");
        for (int i = 0; ok && i < d.righeCarrello; ++i) {
            // Distinct articles, spread over every type.
            const Articolo &a = articoli[size_t((i * 97) % d.articoli)];
            const qint64 pezzi = caso.tra(1, 5);
            ok = carrello.numero(1, a.tipo)
                     .testo(2, a.codice)
                     .numero(3, a.prezzo)
                     .numero(4, pezzi)
                     .numero(5, pezzi * a.prezzo)
                     .esegui();
        }
    }
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok && errore)
        *errore = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    if (!ok)
        QFile::remove(percorso);
    return ok;
}
