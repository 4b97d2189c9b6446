#include "stock/valori_prodotto.h"

#include <QTest>

class TestValoriProdotto : public QObject
{
    Q_OBJECT

private slots:
    void riformattaPrezzo_data();
    void riformattaPrezzo();
    void leggiPrezzo_data();
    void leggiPrezzo();
    void leggiPezzi_data();
    void leggiPezzi();
};

void TestValoriProdotto::riformattaPrezzo_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("vuoto") << "" << "";
    QTest::newRow("quarta cifra") << "1234" << "1.234";
    QTest::newRow("cifra dopo un gruppo") << "1.2345" << "12.345";
    QTest::newRow("dopo Backspace") << "1.23" << "123";
    QTest::newRow("zero") << "0" << "";
    QTest::newRow("soli zeri") << "000" << "";
    QTest::newRow("zeri iniziali") << "0012" << "12";
    QTest::newRow("incollato con virgola") << "1234,75" << "1.234";
    QTest::newRow("oltre i 32 bit") << "99999999999" << "99.999.999.999";
    QTest::newRow("oltre i 64 bit resta") << "99999999999999999999" << "99999999999999999999";
    QTest::newRow("incollato non numero resta") << "abc" << "abc";
}

void TestValoriProdotto::riformattaPrezzo()
{
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(::riformattaPrezzo(testo), atteso);
}

void TestValoriProdotto::leggiPrezzo_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<qint32>("atteso");
    QTest::newRow("raggruppato") << "1.234.567" << true << 1234567;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("massimo") << "2.147.483.647" << true << 2147483647;
    QTest::newRow("vuoto") << "" << false << 0;
    QTest::newRow("oltre il massimo") << "2.147.483.648" << false << 0;
    QTest::newRow("decimali") << "12,5" << false << 0;
    QTest::newRow("negativo") << "-5" << false << 0;
    QTest::newRow("gruppo sbagliato") << "1.23" << false << 0;
}

void TestValoriProdotto::leggiPrezzo()
{
    QFETCH(QString, testo);
    QFETCH(bool, valido);
    QFETCH(qint32, atteso);
    const std::optional<qint32> prezzo = ::leggiPrezzo(testo);
    QCOMPARE(prezzo.has_value(), valido);
    if (valido)
        QCOMPARE(*prezzo, atteso);
}

void TestValoriProdotto::leggiPezzi_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<int>("atteso");
    QTest::newRow("intero") << "5" << true << 5;
    QTest::newRow("mezzo al pari sotto") << "2.5" << true << 2;
    QTest::newRow("mezzo al pari sopra") << "3.5" << true << 4;
    QTest::newRow("lettere dopo") << "3abc" << true << 3;
    QTest::newRow("vuoto") << "" << true << 0;
    QTest::newRow("spazi prima") << "  7" << true << 7;
    QTest::newRow("negativo") << "-3" << true << -3;
    QTest::newRow("massimo") << "32767" << true << 32767;
    QTest::newRow("oltre il massimo") << "32768" << false << 0;
    QTest::newRow("arrotondato oltre") << "32767.5" << false << 0;
    QTest::newRow("oltre il minimo") << "-32769" << false << 0;
    QTest::newRow("solo spazi") << " \t " << true << 0;
    QTest::newRow("zero") << "-0.4" << true << 0;
    QTest::newRow("lettere sole") << "abc" << false << 0;
    QTest::newRow("segno solo") << "-" << false << 0;
    QTest::newRow("apice") << "'5" << false << 0;
    QTest::newRow("spazi dentro il numero") << "1 2" << true << 12;
    QTest::newRow("troppe cifre per un double") << QString(400, u'9') << false << 0;
}

void TestValoriProdotto::leggiPezzi()
{
    QFETCH(QString, testo);
    QFETCH(bool, valido);
    QFETCH(int, atteso);
    const std::optional<qint16> pezzi = ::leggiPezzi(testo);
    QCOMPARE(pezzi.has_value(), valido);
    if (valido)
        QCOMPARE(int(*pezzi), atteso);
}

QTEST_GUILESS_MAIN(TestValoriProdotto)
#include "tst_valori_prodotto.moc"
