#include "common/griglia.h"

#include <QTest>

class TestGriglia : public QObject
{
    Q_OBJECT

private slots:
    void righeEModifiche()
    {
        ModelloGriglia modello({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        QCOMPARE(modello.rowCount(), 1);
        QCOMPARE(modello.righeElencate(), 0);

        modello.imposta({{"a1", "tre\tcon tab"}, {"a2", "b2", "c2"}, {"a3", "b3"}});
        QCOMPARE(modello.rowCount(), 4);
        QCOMPARE(modello.index(0, 1).data().toString(), QStringLiteral("tre\tcon tab"));
        QCOMPARE(modello.testo(0, 2), QString());
        QCOMPARE(modello.testo(7, 0), QString());
        modello.impostaTesto(2, 2, QStringLiteral("nuovo")); // a row with fewer cells
        modello.impostaTesto(3, 0, QStringLiteral("riga vuota")); // the empty row stays empty
        modello.rimuovi(0);
        modello.rimuovi(2); // the empty last row cannot be removed
        QCOMPARE(modello.righeElencate(), 2);
        QCOMPARE(modello.testo(0, 2), QStringLiteral("c2"));
        QCOMPARE(modello.testo(1, 0), QStringLiteral("a3"));
        QCOMPARE(modello.testo(1, 2), QStringLiteral("nuovo"));
        QCOMPARE(modello.testo(2, 0), QString());
    }

    void numeroDaCella_data()
    {
        QTest::addColumn<QString>("cella");
        QTest::addColumn<qint64>("numero");
        QTest::newRow("vuota") << "" << qint64(0);
        QTest::newRow("raggruppata") << "1.234.567" << qint64(1234567);
        QTest::newRow("negativa con blank") << " -3" << qint64(-3);
        QTest::newRow("non numero") << "abc" << qint64(0);
    }

    void numeroDaCella()
    {
        QFETCH(QString, cella);
        QFETCH(qint64, numero);
        QCOMPARE(::numeroDaCella(cella), numero);
    }
};

QTEST_GUILESS_MAIN(TestGriglia)
#include "tst_griglia.moc"
