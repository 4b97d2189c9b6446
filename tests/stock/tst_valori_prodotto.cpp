#include "stock/valori_prodotto.h"

#include <QTest>

// Edges the purchase window's own tests do not reach by typing.
class TestValoriProdotto : public QObject
{
    Q_OBJECT

    static constexpr qint64 RIFIUTATO = -100000; // outside every range read here

private slots:
    void riformattaPrezzo_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("zeri iniziali") << "0012" << "12";
        QTest::newRow("incollato con virgola") << "1234,75" << "1.234";
        QTest::newRow("oltre i 32 bit") << "99999999999" << "99.999.999.999";
        QTest::newRow("oltre i 64 bit resta") << "99999999999999999999" << "99999999999999999999";
        QTest::newRow("non numero resta") << "abc" << "abc";
    }

    void riformattaPrezzo()
    {
        QFETCH(QString, testo);
        QFETCH(QString, atteso);
        QCOMPARE(::riformattaPrezzo(testo), atteso);
    }

    void letture_data()
    {
        QTest::addColumn<bool>("pezzi"); // leggiPezzi, else leggiPrezzo
        QTest::addColumn<QString>("testo");
        QTest::addColumn<qint64>("atteso");
        QTest::newRow("prezzo zero") << false << "0" << qint64(0);
        QTest::newRow("prezzo massimo") << false << "2.147.483.647" << qint64(2147483647);
        QTest::newRow("prezzo oltre il massimo") << false << "2.147.483.648" << RIFIUTATO;
        QTest::newRow("prezzo vuoto") << false << "" << RIFIUTATO;
        QTest::newRow("prezzo negativo") << false << "-5" << RIFIUTATO;
        QTest::newRow("prezzo con gruppo sbagliato") << false << "1.23" << RIFIUTATO;
        QTest::newRow("pezzi, mezzo al pari sopra") << true << "3.5" << qint64(4);
        QTest::newRow("pezzi negativi") << true << "-3" << qint64(-3);
        QTest::newRow("pezzi massimi") << true << "32767" << qint64(32767);
        QTest::newRow("pezzi oltre il massimo") << true << "32768" << RIFIUTATO;
        QTest::newRow("pezzi arrotondati oltre") << true << "32767.5" << RIFIUTATO;
        QTest::newRow("pezzi oltre il minimo") << true << "-32769" << RIFIUTATO;
        QTest::newRow("pezzi vuoti") << true << "" << qint64(0);
        QTest::newRow("pezzi con lettere dopo") << true << "3abc" << qint64(3);
        QTest::newRow("pezzi senza numero") << true << "abc" << RIFIUTATO;
        QTest::newRow("pezzi oltre un double") << true << QString(400, u'9') << RIFIUTATO;
    }

    void letture()
    {
        QFETCH(bool, pezzi);
        QFETCH(QString, testo);
        QFETCH(qint64, atteso);
        const auto valore = [](auto letto) { return letto ? qint64(*letto) : RIFIUTATO; };
        QCOMPARE(pezzi ? valore(::leggiPezzi(testo)) : valore(::leggiPrezzo(testo)), atteso);
    }
};

QTEST_GUILESS_MAIN(TestValoriProdotto)
#include "tst_valori_prodotto.moc"
