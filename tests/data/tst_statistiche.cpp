#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QTest>

namespace {

using Mesi = QList<qint64>;

void inserisci(const DatabaseDiProva &db, const char *dataop, int operazione, qint64 acquisto,
               qint64 vendita, int pezzi = 1)
{
    db.esegui("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto, pezzi,"
              " operazione, dataop) VALUES (1, 'A1', ?, ?, ?, ?, ?)",
              {vendita, acquisto, pezzi, operazione, QString::fromLatin1(dataop)});
}

Mesi lista(const std::array<qint64, 12> &slot)
{
    return Mesi(slot.begin(), slot.end());
}

} // namespace

class TestStatistiche : public QObject
{
    Q_OBJECT

private slots:
    void mesi_data()
    {
        QTest::addColumn<int>("modo");
        QTest::addColumn<int>("anno");
        QTest::addColumn<Mesi>("acquisti");
        QTest::addColumn<Mesi>("vendite");
        const Mesi zero(12, 0);
        QTest::newRow("valori") << 1 << 2024
                                << Mesi{0, 0, 1000, 0, 0, 0, 2400000000, 0, 0, 0, 0, 250}
                                << Mesi{300, 0, 1500, 700, 0, 0, 3000000000, 0, 0, 0, 0, 0};
        QTest::newRow("conteggi") << 2 << 2024 << Mesi{0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 0, 1}
                                  << Mesi{1, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0};
        QTest::newRow("anno 0") << 1 << 0 << zero << zero;
        QTest::newRow("modo 3 non legge") << 3 << 2024 << zero << zero;
    }

    void mesi()
    {
        QFETCH(int, modo);
        QFETCH(int, anno);
        QFETCH(Mesi, acquisti);
        QFETCH(Mesi, vendite);
        DatabaseDiProva db;
        RegistroRapporti registro;
        inserisci(db, "2024-01-01", 2, 0, 300, -1);
        inserisci(db, "2024-03-10", 1, 1000, 1200);
        inserisci(db, "2024-03-15", 2, 0, 1500, -1);
        inserisci(db, "2024-04-02", 2, 0, 700, -5); // five pieces: one sale, its price once
        inserisci(db, "2024-12-31", 1, 250, 400, 3);
        inserisci(db, "2023-12-31", 1, 999, 999);
        inserisci(db, "2025-01-01", 2, 0, 999, -1);
        inserisci(db, "2024-05-05", 3, 10, 10); // neither purchase nor sale
        // Beyond 32 bits.
        for (const char *giorno : {"2024-07-01", "2024-07-01", "2024-07-09", "2024-07-20"})
            inserisci(db, giorno, 1, 600000000, 0);
        inserisci(db, "2024-07-02", 2, 0, 3000000000LL, -1);
        // Stored days that are not real days count nowhere.
        for (const char *giorno : {"2024-13-01", "2024-02-30", "2024-2-05", "2024-06-01x", ""})
            inserisci(db, giorno, 1, 77, 77);

        SlotMensili slot; // leftovers of an earlier year, which the call must clear
        slot.acquisti.fill(13);
        QVERIFY(CalcolaStatistiche(modo, anno, slot));
        QVERIFY(registro.rapporti().isEmpty());
        QCOMPARE(lista(slot.acquisti), acquisti);
        QCOMPARE(lista(slot.vendite), vendite);
    }

    void fallimenti_data()
    {
        QTest::addColumn<QString>("secondoGiorno");
        QTest::newRow("somma di un giorno oltre 64 bit") << "2024-08-01";
        QTest::newRow("somma di un mese oltre 64 bit") << "2024-08-02";
    }

    void fallimenti()
    {
        QFETCH(QString, secondoGiorno);
        DatabaseDiProva db;
        inserisci(db, "2024-08-01", 1, qint64(1) << 62, 0);
        inserisci(db, qPrintable(secondoGiorno), 1, qint64(1) << 62, 0);
        RegistroRapporti registro;
        SlotMensili slot;
        slot.vendite.fill(-7);
        QVERIFY(!CalcolaStatistiche(1, 2024, slot));
        QCOMPARE(registro.zone(), QList<int>{18});
        QCOMPARE(lista(slot.acquisti), Mesi(12, 0));
        QCOMPARE(lista(slot.vendite), Mesi(12, 0));
    }
};

QTEST_GUILESS_MAIN(TestStatistiche)
#include "tst_statistiche.moc"
