#include "common/formati.h"

#include <QDate>
#include <QTest>

#include <limits>

class TestFormati : public QObject
{
    Q_OBJECT

private slots:
    void formatoNumero_data();
    void formatoNumero();
    void testoNumero_data();
    void testoNumero();
    void leggiNumeroIniziale_data();
    void leggiNumeroIniziale();
    void leggiNumeroDigitato_data();
    void leggiNumeroDigitato();
    void leggiIntero_data();
    void leggiIntero();
    void date_data();
    void date();
    void dataOggi();
};

void TestFormati::formatoNumero_data()
{
    QTest::addColumn<qint64>("valore");
    QTest::addColumn<QString>("modello");
    QTest::addColumn<QString>("atteso");
    const QString denaro = MODELLO_DENARO.toString();
    QTest::newRow("zero vuoto") << qint64(0) << denaro << "";
    QTest::newRow("zero corto vuoto") << qint64(0) << MODELLO_DENARO_CORTO.toString() << "";
    QTest::newRow("zero conteggio") << qint64(0) << MODELLO_CONTEGGIO.toString() << "0";
    QTest::newRow("zero totale") << qint64(0) << MODELLO_TOTALE.toString() << "0";
    QTest::newRow("tre cifre") << qint64(999) << denaro << "999";
    QTest::newRow("migliaia") << qint64(1000) << denaro << "1.000";
    QTest::newRow("milioni") << qint64(1234567) << denaro << "1.234.567";
    QTest::newRow("oltre il modello") << qint64(1234567890123) << denaro << "1.234.567.890.123";
    QTest::newRow("negativo") << qint64(-1500) << denaro << "-1.500";
    QTest::newRow("negativo piccolo") << qint64(-5) << MODELLO_CONTEGGIO.toString() << "-5";
    QTest::newRow("minimo") << std::numeric_limits<qint64>::min() << denaro
                            << "-9.223.372.036.854.775.808";
}

void TestFormati::formatoNumero()
{
    QFETCH(qint64, valore);
    QFETCH(QString, modello);
    QFETCH(QString, atteso);
    QCOMPARE(::formatoNumero(valore, modello), atteso);
}

void TestFormati::testoNumero_data()
{
    QTest::addColumn<double>("valore");
    QTest::addColumn<bool>("intero");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("positivo") << 5.0 << true << " 5";
    QTest::newRow("zero") << 0.0 << true << " 0";
    QTest::newRow("negativo") << -3.0 << true << "-3";
    QTest::newRow("grande") << 2147483647.0 << true << " 2147483647";
    QTest::newRow("decimale") << 2.5 << false << " 2.5";
    QTest::newRow("decimale negativo") << -0.25 << false << "-0.25";
}

void TestFormati::testoNumero()
{
    QFETCH(double, valore);
    QFETCH(bool, intero);
    QFETCH(QString, atteso);
    QCOMPARE(intero ? ::testoNumero(qint64(valore)) : ::testoNumero(valore), atteso);
}

void TestFormati::leggiNumeroIniziale_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<double>("atteso");
    QTest::newRow("vuoto") << "" << 0.0;
    QTest::newRow("lettere") << "abc" << 0.0;
    QTest::newRow("decimale") << "2.5" << 2.5;
    QTest::newRow("seguito da lettere") << "3abc" << 3.0;
    QTest::newRow("spazi iniziali") << "   7" << 7.0;
    QTest::newRow("spazi interni") << "1 000" << 1000.0;
    QTest::newRow("negativo") << "-4" << -4.0;
    QTest::newRow("segno piu") << "+2" << 2.0;
    QTest::newRow("solo punto") << ".5" << 0.5;
    QTest::newRow("due punti") << "1.2.3" << 1.2;
    QTest::newRow("esponente") << "1e3" << 1000.0;
    QTest::newRow("esponente monco") << "4e" << 4.0;
    QTest::newRow("virgola") << "2,5" << 2.0;
    QTest::newRow("solo segno") << "-" << 0.0;
}

void TestFormati::leggiNumeroIniziale()
{
    QFETCH(QString, testo);
    QFETCH(double, atteso);
    QCOMPARE(::leggiNumeroIniziale(testo), atteso);
}

void TestFormati::leggiNumeroDigitato_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<double>("atteso");
    QTest::newRow("semplice") << "1234" << true << 1234.0;
    QTest::newRow("raggruppato") << "1.234.567" << true << 1234567.0;
    QTest::newRow("virgola decimale") << "12,5" << true << 12.5;
    QTest::newRow("gruppi e decimali") << "1.234,75" << true << 1234.75;
    QTest::newRow("negativo") << "-3" << true << -3.0;
    QTest::newRow("spazi attorno") << " 42 " << true << 42.0;
    QTest::newRow("vuoto") << "" << false << 0.0;
    QTest::newRow("solo spazi") << "   " << false << 0.0;
    QTest::newRow("lettere") << "abc" << false << 0.0;
    QTest::newRow("lettere in coda") << "12a" << false << 0.0;
    QTest::newRow("gruppo corto") << "1.23" << false << 0.0;
    QTest::newRow("gruppo lungo") << "1.2345" << false << 0.0;
    QTest::newRow("primo gruppo lungo") << "1234.567" << false << 0.0;
    QTest::newRow("punto iniziale") << ".5" << false << 0.0;
    QTest::newRow("due virgole") << "1,2,3" << false << 0.0;
    QTest::newRow("solo segno") << "-" << false << 0.0;
}

void TestFormati::leggiNumeroDigitato()
{
    QFETCH(QString, testo);
    QFETCH(bool, valido);
    QFETCH(double, atteso);
    const std::optional<double> letto = ::leggiNumeroDigitato(testo);
    QCOMPARE(letto.has_value(), valido);
    if (valido)
        QCOMPARE(*letto, atteso);
}

void TestFormati::leggiIntero_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<qint64>("atteso");
    QTest::newRow("mezzo in giu") << "2,5" << true << qint64(2);
    QTest::newRow("mezzo in su") << "3,5" << true << qint64(4);
    QTest::newRow("mezzo negativo") << "-2,5" << true << qint64(-2);
    QTest::newRow("oltre mezzo") << "2,6" << true << qint64(3);
    QTest::newRow("massimo") << "2.147.483.647" << true << qint64(2147483647);
    QTest::newRow("oltre il massimo") << "2147483648" << false << qint64(0);
    QTest::newRow("minimo") << "-2147483648" << true << qint64(-2147483648LL);
    QTest::newRow("sotto il minimo") << "-2147483649" << false << qint64(0);
    QTest::newRow("non numero") << "x" << false << qint64(0);
}

void TestFormati::leggiIntero()
{
    QFETCH(QString, testo);
    QFETCH(bool, valido);
    QFETCH(qint64, atteso);
    const std::optional<qint64> letto = ::leggiIntero(testo, -2147483648LL, 2147483647LL);
    QCOMPARE(letto.has_value(), valido);
    if (valido)
        QCOMPARE(*letto, atteso);
}

void TestFormati::date_data()
{
    QTest::addColumn<QString>("giorno");
    QTest::addColumn<QString>("iso");
    QTest::newRow("capodanno") << "01/01/2000" << "2000-01-01";
    QTest::newRow("fine anno") << "31/12/2000" << "2000-12-31";
    QTest::newRow("bisestile") << "29/02/2024" << "2024-02-29";
    QTest::newRow("inesistente") << "31/02/2000" << "";
    QTest::newRow("cifre mancanti") << "1/1/2000" << "";
    QTest::newRow("trattini") << "01-01-2000" << "";
    QTest::newRow("giorno oltre il mese") << "32/01/2000" << "";
    QTest::newRow("lettera") << "1a/01/2000" << "";
    QTest::newRow("anno zero") << "10/05/0000" << "";
}

void TestFormati::date()
{
    QFETCH(QString, giorno);
    QFETCH(QString, iso);
    QCOMPARE(dataInIso(giorno), iso);
    if (!iso.isEmpty())
        QCOMPARE(dataDaIso(iso), giorno);
}

void TestFormati::dataOggi()
{
    const QString oggi = ::dataOggi();
    QCOMPARE(oggi.size(), 10);
    QCOMPARE(QDate::fromString(oggi, QStringLiteral("dd/MM/yyyy")), QDate::currentDate());
}

QTEST_GUILESS_MAIN(TestFormati)
#include "tst_formati.moc"
