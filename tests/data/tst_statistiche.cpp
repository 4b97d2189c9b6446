#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QDate>
#include <QFile>
#include <QTest>

namespace {

struct Movimento
{
    const char *dataop;
    int operazione;
    qint64 prezzoacquisto;
    qint64 prezzovendita;
    int pezzi;
};

// Purchases and sales of 2024 around its edges, movements that must be left
// out, and a July beyond 32 bits.
const Movimento MOVIMENTI[] = {
    {"2024-03-10", 1, 1000, 1200, 1},
    {"2024-03-15", 2, 0, 1500, -1},
    {"2024-04-02", 2, 0, 700, -5},
    {"2024-12-31", 1, 250, 400, 3},
    {"2024-01-01", 2, 0, 300, -1},
    {"2023-12-31", 1, 999, 999, 1},
    {"2025-01-01", 2, 0, 999, -1},
    {"2024-05-05", 3, 10, 10, 1},
    {"2024-13-01", 1, 77, 77, 1},
    {"2024-00-10", 1, 77, 77, 1},
    {"2024-02-30", 1, 77, 77, 1},
    {"2024-2-05", 1, 77, 77, 1},
    {"2024-06-01x", 1, 77, 77, 1},
    {"2024-06-01 ", 1, 77, 77, 1},
    {"2024-", 1, 77, 77, 1},
    {"", 1, 77, 77, 1},
    {"0000-01-01", 1, 77, 77, 1},
    {"2024-07-01", 1, 600000000, 0, 1},
    {"2024-07-01", 1, 600000000, 0, 1},
    {"2024-07-09", 1, 600000000, 0, 1},
    {"2024-07-20", 1, 600000000, 0, 1},
    {"2024-07-02", 2, 0, 3000000000LL, -1},
};

// The reference: every movement in date order, month and year read from its
// day written dd/MM/yyyy.
SlotMensili percorsoRiga(const DatabaseDiProva &db, int modo, int anno)
{
    SlotMensili slot;
    if (modo != 1 && modo != 2)
        return slot;
    const auto righe = db.righe(QStringLiteral("SELECT dataop, operazione, prezzoacquisto,"
                                               " prezzovendita FROM prodotto ORDER BY dataop"));
    for (const QVariantList &riga : righe) {
        const QString iso = riga[0].toString();
        const QDate giorno = QDate::fromString(iso, QStringLiteral("yyyy-MM-dd"));
        if (!giorno.isValid() || giorno.toString(QStringLiteral("yyyy-MM-dd")) != iso)
            continue;
        const QString testo = giorno.toString(QStringLiteral("dd/MM/yyyy"));
        const int mese = testo.mid(3, 2).toInt() - 1;
        if (testo.mid(6, 4).toInt() != anno)
            continue;
        if (riga[1].toInt() == 1)
            slot.acquisti[mese] += modo == 1 ? riga[2].toLongLong() : 1;
        else if (riga[1].toInt() == 2)
            slot.vendite[mese] += modo == 1 ? riga[3].toLongLong() : 1;
    }
    return slot;
}

void inserisci(const DatabaseDiProva &db, const Movimento &m)
{
    db.esegui(QStringLiteral("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto,"
                             " pezzi, operazione, dataop) VALUES (1, 'A1', ?, ?, ?, ?, ?)"),
              {m.prezzovendita, m.prezzoacquisto, m.pezzi, m.operazione,
               QString::fromLatin1(m.dataop)});
}

SlotMensili sporchi()
{
    SlotMensili slot;
    slot.acquisti.fill(13);
    slot.vendite.fill(-7);
    return slot;
}

} // namespace

class TestStatistiche : public QObject
{
    Q_OBJECT

private slots:
    void comeIlPercorso_data();
    void comeIlPercorso();
    void fallimenti_data();
    void fallimenti();
};

void TestStatistiche::comeIlPercorso_data()
{
    QTest::addColumn<int>("modo");
    QTest::addColumn<int>("anno");
    QTest::addColumn<int>("mese");
    QTest::addColumn<qint64>("acquisti");
    QTest::addColumn<qint64>("vendite");
    QTest::newRow("valori marzo") << 1 << 2024 << 2 << qint64(1000) << qint64(1500);
    QTest::newRow("valori 5 pezzi una volta") << 1 << 2024 << 3 << qint64(0) << qint64(700);
    QTest::newRow("valori dicembre") << 1 << 2024 << 11 << qint64(250) << qint64(0);
    QTest::newRow("valori oltre 32 bit") << 1 << 2024 << 6 << qint64(2400000000LL)
                                         << qint64(3000000000LL);
    QTest::newRow("conteggi 5 pezzi una volta") << 2 << 2024 << 3 << qint64(0) << qint64(1);
    QTest::newRow("conteggi luglio") << 2 << 2024 << 6 << qint64(4) << qint64(1);
    QTest::newRow("altro anno") << 1 << 2023 << 11 << qint64(999) << qint64(0);
    QTest::newRow("anno 0") << 1 << 0 << 0 << qint64(0) << qint64(0);
    QTest::newRow("anno negativo") << 2 << -2024 << 2 << qint64(0) << qint64(0);
    QTest::newRow("modo 0 non legge") << 0 << 2024 << 2 << qint64(0) << qint64(0);
    QTest::newRow("modo 3 non legge") << 3 << 2024 << 2 << qint64(0) << qint64(0);
}

void TestStatistiche::comeIlPercorso()
{
    QFETCH(int, modo);
    QFETCH(int, anno);
    QFETCH(int, mese);
    QFETCH(qint64, acquisti);
    QFETCH(qint64, vendite);
    DatabaseDiProva db;
    RegistroRapporti registro;
    for (const Movimento &m : MOVIMENTI)
        inserisci(db, m);

    SlotMensili slot = sporchi();
    QVERIFY(CalcolaStatistiche(modo, anno, slot));
    QVERIFY(registro.rapporti().isEmpty());
    QCOMPARE(slot.acquisti[mese], acquisti);
    QCOMPARE(slot.vendite[mese], vendite);
    const SlotMensili riferimento = percorsoRiga(db, modo, anno);
    QCOMPARE(slot.acquisti, riferimento.acquisti);
    QCOMPARE(slot.vendite, riferimento.vendite);
}

void TestStatistiche::fallimenti_data()
{
    QTest::addColumn<QString>("caso");
    QTest::newRow("file assente") << "assente";
    QTest::newRow("file non database") << "testo";
    QTest::newRow("somma di un giorno oltre 64 bit") << "giorno";
    QTest::newRow("somma di un mese oltre 64 bit") << "mese";
}

void TestStatistiche::fallimenti()
{
    QFETCH(QString, caso);
    DatabaseDiProva db;
    const qint64 enorme = qint64(1) << 62;
    if (caso == QLatin1String("assente")) {
        QVERIFY(QFile::remove(db.percorso()));
    } else if (caso == QLatin1String("testo")) {
        db.sostituisciConTesto("non sono un database, solo testo che occupa spazio");
    } else {
        inserisci(db, {"2024-08-01", 1, enorme, 0, 1});
        inserisci(db, {caso == QLatin1String("giorno") ? "2024-08-01" : "2024-08-02", 1, enorme,
                       0, 1});
    }
    RegistroRapporti registro;
    SlotMensili slot = sporchi();
    QVERIFY(!CalcolaStatistiche(1, 2024, slot));
    QCOMPARE(registro.zone(), QList<int>{18});
    QCOMPARE(slot.acquisti, SlotMensili{}.acquisti);
    QCOMPARE(slot.vendite, SlotMensili{}.vendite);
}

QTEST_GUILESS_MAIN(TestStatistiche)
#include "tst_statistiche.moc"
