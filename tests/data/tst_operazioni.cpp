#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QDate>
#include <QTest>

#include <limits>

class TestOperazioniRoutine : public QObject
{
    Q_OBJECT

private slots:
    void filtri_data()
    {
        QTest::addColumn<QString>("codiceTipo");
        QTest::addColumn<QDate>("giorno"); // invalid: every day
        QTest::addColumn<QVariant>("prezzo"); // of the first two movements
        QTest::addColumn<bool>("riuscita"); // false: one zone 16 report
        QTest::addColumn<QList<qint64>>("attesi");
        const QVariant enorme = std::numeric_limits<qint64>::max() / 2 + 1;
        const QVariant cento = 100;
        const QDate ogni;
        QTest::newRow("codici uguali: il più vecchio") << "Viti" << ogni << cento << true
                                                       << QList<qint64>{1};
        QTest::newRow("tipo che non c'è") << "Chiodi" << ogni << cento << true << QList<qint64>{};
        QTest::newRow("ogni tipo") << "" << ogni << cento << true << QList<qint64>{1, 2, 3};
        QTest::newRow("un giorno") << "" << QDate(2000, 1, 2) << cento << true << QList<qint64>{2};
        // The row that overflowed was read and stays; nothing after it.
        QTest::newRow("somma oltre 64 bit") << "" << ogni << enorme << false << QList<qint64>{1, 2};
        // A file written by another program: a real is no price, never rounded.
        QTest::newRow("prezzo non intero") << "" << ogni << QVariant(2.5) << false << QList<qint64>{};
    }

    void filtri()
    {
        QFETCH(QString, codiceTipo);
        QFETCH(QDate, giorno);
        QFETCH(QVariant, prezzo);
        QFETCH(bool, riuscita);
        QFETCH(QList<qint64>, attesi);
        DatabaseDiProva db;
        RegistroRapporti rapporti;
        QVERIFY(AggiungiTipo("Viti"));
        QVERIFY(AggiungiTipo("Viti"));
        for (const QVariantList &m : QList<QVariantList>{{1, 1, prezzo, "2000-01-01"},
                                                         {2, 2, prezzo, "2000-01-02"},
                                                         {3, 7, 100, "2000-01-03"}})
            db.esegui("INSERT INTO prodotto (id, tipo, codice, prezzovendita, prezzoacquisto, pezzi,"
                      " operazione, dataop) VALUES (?, ?, 'A-1', ?, 0, 1, 1, ?)",
                      {m[0], m[1], m[2], m[3]});

        ElencoOperazioni elenco;
        QCOMPARE(VisualizzaOperazioni(OPERAZIONE_ACQUISTO, codiceTipo, giorno, giorno, elenco), riuscita);
        QList<qint64> id;
        for (const RigaOperazione &r : elenco.righe)
            id.append(r.id);
        QCOMPARE(id, attesi);
        QCOMPARE(rapporti.zone(), riuscita ? QList<int>{} : QList<int>{16});
    }
};

QTEST_MAIN(TestOperazioniRoutine)
#include "tst_operazioni.moc"
