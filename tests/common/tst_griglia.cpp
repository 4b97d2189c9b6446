#include "common/griglia.h"

#include <QTest>

class TestGriglia : public QObject
{
    Q_OBJECT

private slots:
    void celleEModifiche()
    {
        ModelloGriglia modello({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        QCOMPARE(modello.rowCount(), 1);
        QCOMPARE(modello.righeElencate(), 0);

        modello.impostaUnite({ModelloGriglia::unisci({u"x", u"", u"z"}),
                              ModelloGriglia::unisci({u"solo"})});
        QCOMPARE(modello.rowCount(), 3);
        QCOMPARE(modello.index(0, 2).data().toString(), QStringLiteral("z"));
        QCOMPARE(modello.testo(0, 1), QString());
        QCOMPARE(modello.testo(1, 2), QString());
        QCOMPARE(modello.testo(7, 0), QString());

        modello.imposta({{"a1", "tre\tcon tab"}, {"a2", "b2"}, {"a3", "b3"}});
        QCOMPARE(modello.testo(0, 1), QStringLiteral("tre\tcon tab"));
        modello.impostaTesto(1, 1, QStringLiteral("nuovo"));
        modello.impostaTesto(3, 0, QStringLiteral("riga vuota")); // the empty row stays empty
        modello.rimuovi(0);
        modello.rimuovi(2); // the empty last row cannot be removed
        QCOMPARE(modello.righeElencate(), 2);
        QCOMPARE(modello.testo(0, 1), QStringLiteral("nuovo"));
        QCOMPARE(modello.testo(1, 0), QStringLiteral("a3"));
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
