#include "common/formati.h"
#include "data/lettura.h"

#include <QDate>
#include <QTest>

#include <limits>
#include <optional>

namespace {

// A reader's result as a variant: invalid for a refusal.
template <typename T>
QVariant risultato(const std::optional<T> &valore)
{
    return valore ? QVariant::fromValue(*valore) : QVariant();
}

} // namespace

// Each row holds what the function gave and what it should give.
class TestFormati : public QObject
{
    Q_OBJECT

private slots:
    void scritture_data()
    {
        QTest::addColumn<QString>("scritto");
        QTest::addColumn<QString>("atteso");
        const QString denaro = MODELLO_DENARO.toString();
        QTest::newRow("denaro, zero vuoto") << formatoNumero(0, denaro) << "";
        QTest::newRow("corto, zero vuoto") << formatoNumero(0, MODELLO_DENARO_CORTO.toString()) << "";
        QTest::newRow("conteggio, zero") << formatoNumero(0, MODELLO_CONTEGGIO.toString()) << "0";
        QTest::newRow("totale, zero") << formatoNumero(0, MODELLO_TOTALE.toString()) << "0";
        QTest::newRow("milioni") << formatoNumero(1234567, denaro) << "1.234.567";
        QTest::newRow("oltre il modello") << formatoNumero(1234567890123, denaro)
                                          << "1.234.567.890.123";
        QTest::newRow("negativo") << formatoNumero(-1500, denaro) << "-1.500";
        QTest::newRow("minimo") << formatoNumero(std::numeric_limits<qint64>::min(), denaro)
                                << "-9.223.372.036.854.775.808";
        QTest::newRow("testo di un intero") << testoNumero(qint64(5)) << " 5";
        QTest::newRow("testo di un negativo") << testoNumero(qint64(-3)) << "-3";
        QTest::newRow("testo di un decimale") << testoNumero(2.5) << " 2.5";
        QTest::newRow("testo di un decimale negativo") << testoNumero(-0.25) << "-0.25";
    }

    void scritture()
    {
        QFETCH(QString, scritto);
        QFETCH(QString, atteso);
        QCOMPARE(scritto, atteso);
    }

    void letture_data()
    {
        QTest::addColumn<QVariant>("letto");
        QTest::addColumn<QVariant>("atteso");
        const auto iniziale = [](const QString &t) { return QVariant(leggiNumeroIniziale(t)); };
        const auto digitato = [](const QString &t) { return risultato(leggiNumeroDigitato(t)); };
        // The leading number, as the pieces field reads it: never refused.
        QTest::newRow("iniziale, vuoto") << iniziale("") << QVariant(0.0);
        QTest::newRow("iniziale, decimale") << iniziale("2.5") << QVariant(2.5);
        QTest::newRow("iniziale, 3abc") << iniziale("3abc") << QVariant(3.0);
        QTest::newRow("iniziale, spazi interni") << iniziale(" 1 000") << QVariant(1000.0);
        QTest::newRow("iniziale, negativo") << iniziale("-4") << QVariant(-4.0);
        QTest::newRow("iniziale, due punti") << iniziale("1.2.3") << QVariant(1.2);
        QTest::newRow("iniziale, esponente") << iniziale("1e3") << QVariant(1000.0);
        QTest::newRow("iniziale, virgola") << iniziale("2,5") << QVariant(2.0);
        QTest::newRow("iniziale, solo segno") << iniziale("-") << QVariant(0.0);
        // Typed numbers: "." groups thousands, "," starts the decimals.
        QTest::newRow("digitato, raggruppato") << digitato("1.234.567") << QVariant(1234567.0);
        QTest::newRow("digitato, decimali") << digitato("1.234,75") << QVariant(1234.75);
        QTest::newRow("digitato, negativo") << digitato(" -3 ") << QVariant(-3.0);
        QTest::newRow("digitato, vuoto") << digitato("  ") << QVariant();
        QTest::newRow("digitato, lettere") << digitato("12a") << QVariant();
        QTest::newRow("digitato, gruppo corto") << digitato("1.23") << QVariant();
        QTest::newRow("digitato, primo gruppo lungo") << digitato("1234.567") << QVariant();
    }

    void letture()
    {
        QFETCH(QVariant, letto);
        QFETCH(QVariant, atteso);
        QCOMPARE(letto, atteso);
    }

    // A stored day as the registers read it, and as they show it.
    void giorni_data()
    {
        QTest::addColumn<QByteArray>("iso");
        QTest::addColumn<QString>("mostrato");
        QTest::newRow("fine anno") << QByteArray("2000-12-31") << "31/12/2000";
        QTest::newRow("bisestile") << QByteArray("2024-02-29") << "29/02/2024";
        QTest::newRow("inesistente") << QByteArray("2000-02-31") << "";
        QTest::newRow("cifre mancanti") << QByteArray("2000-1-01") << "";
        QTest::newRow("anno zero") << QByteArray("0000-05-10") << "";
        QTest::newRow("lettera") << QByteArray("2000-12-3x") << "";
    }

    void giorni()
    {
        QFETCH(QByteArray, iso);
        QFETCH(QString, mostrato);
        QCOMPARE(testoGiorno(giornoIso(iso)), mostrato);
    }
};

QTEST_GUILESS_MAIN(TestFormati)
#include "tst_formati.moc"
