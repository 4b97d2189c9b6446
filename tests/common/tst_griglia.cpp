#include "common/griglia.h"

#include <QTest>

class TestGriglia : public QObject
{
    Q_OBJECT

private slots:
    void celle();
    void modifiche();
    void numeroDaCella_data();
    void numeroDaCella();
};

void TestGriglia::celle()
{
    ModelloGriglia modello({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    QCOMPARE(modello.rowCount(), 1);
    QCOMPARE(modello.righeElencate(), 0);

    modello.imposta({{"uno", "", "tre\tcon tab"}, {"", "due", ""}});
    modello.impostaUnite({ModelloGriglia::unisci({u"x", u"", u"z"}), ModelloGriglia::unisci({u"solo"})});

    QCOMPARE(modello.rowCount(), 3);
    QCOMPARE(modello.righeElencate(), 2);
    QCOMPARE(modello.testo(0, 0), QStringLiteral("x"));
    QCOMPARE(modello.testo(0, 1), QString());
    QCOMPARE(modello.testo(0, 2), QStringLiteral("z"));
    QCOMPARE(modello.testo(1, 0), QStringLiteral("solo"));
    QCOMPARE(modello.testo(1, 2), QString());
    // The empty last row and anything outside the grid read as empty text.
    for (int colonna = 0; colonna < 3; ++colonna)
        QCOMPARE(modello.testo(2, colonna), QString());
    QCOMPARE(modello.testo(7, 0), QString());
    QCOMPARE(modello.testo(0, -1), QString());
    QCOMPARE(modello.index(0, 2).data().toString(), QStringLiteral("z"));
    QCOMPARE(modello.headerData(1, Qt::Horizontal).toString(), QStringLiteral("B"));

    modello.imposta({{"uno", "", "tre\tcon tab"}});
    QCOMPARE(modello.testo(0, 2), QStringLiteral("tre\tcon tab"));
}

void TestGriglia::modifiche()
{
    ModelloGriglia modello({QStringLiteral("A"), QStringLiteral("B")});
    modello.imposta({{"a1", "b1"}, {"a2", "b2"}, {"a3", "b3"}});

    modello.impostaTesto(1, 1, QStringLiteral("nuovo"));
    modello.impostaTesto(3, 0, QStringLiteral("riga vuota")); // the empty row stays empty
    modello.rimuovi(0);
    modello.rimuovi(2); // the empty last row cannot be removed

    QCOMPARE(modello.righeElencate(), 2);
    QCOMPARE(modello.testo(0, 0), QStringLiteral("a2"));
    QCOMPARE(modello.testo(0, 1), QStringLiteral("nuovo"));
    QCOMPARE(modello.testo(1, 1), QStringLiteral("b3"));
    QCOMPARE(modello.testo(2, 0), QString());
}

void TestGriglia::numeroDaCella_data()
{
    QTest::addColumn<QString>("cella");
    QTest::addColumn<qint64>("numero");
    QTest::newRow("vuota") << "" << qint64(0);
    QTest::newRow("raggruppata") << "1.234.567" << qint64(1234567);
    QTest::newRow("negativa") << "-3" << qint64(-3);
    QTest::newRow("con blank") << " 5" << qint64(5);
    QTest::newRow("non numero") << "abc" << qint64(0);
}

void TestGriglia::numeroDaCella()
{
    QFETCH(QString, cella);
    QFETCH(qint64, numero);
    QCOMPARE(::numeroDaCella(cella), numero);
}

QTEST_GUILESS_MAIN(TestGriglia)
#include "tst_griglia.moc"
