#include "common/filtro_giorno.h"
#include "common/formati.h"
#include "reports/statistiche.h"
#include "stock/valori_prodotto.h"

#include <QDate>
#include <QTest>

#include <limits>

namespace {

template <typename T>
QString t(const std::optional<T> &valore)
{
    return valore ? QVariant::fromValue(*valore).toString() : QStringLiteral("no");
}

QString t(double valore)
{
    return QString::number(valore);
}

QString giorno(QStringView filtro)
{
    return testoGiorno(leggiGiornoFiltro(filtro).value_or(QDate()));
}

} // namespace

// The rules free of any window: what each gave, and what it should give.
class TestRegole : public QObject
{
    Q_OBJECT

private slots:
    void regole_data()
    {
        QTest::addColumn<QString>("dato");
        QTest::addColumn<QString>("atteso");
        const qint64 massimo = std::numeric_limits<qint64>::max();
        const QList<std::tuple<const char *, QString, const char *>> righe = {
            {"denaro, zero vuoto", formatoNumero(0, MODELLO_DENARO), ""},
            {"corto, zero vuoto", formatoNumero(0, MODELLO_DENARO_CORTO), ""},
            {"conteggio, zero", formatoNumero(0, MODELLO_CONTEGGIO), "0"},
            {"totale, zero", formatoNumero(0, MODELLO_TOTALE), "0"},
            {"oltre il modello", formatoNumero(1234567890123, MODELLO_DENARO), "1.234.567.890.123"},
            {"minimo", formatoNumero(-massimo - 1, MODELLO_DENARO), "-9.223.372.036.854.775.808"},
            {"testo", testoNumero(5) + testoNumero(-3), " 5-3"},
            {"iniziale, 3abc", t(leggiNumeroIniziale(u"3abc")), "3"},
            {"iniziale, spazi interni", t(leggiNumeroIniziale(u" 1 000")), "1000"},
            {"iniziale, esponente", t(leggiNumeroIniziale(u"1e3")), "1000"},
            {"iniziale, virgola", t(leggiNumeroIniziale(u"2,5")), "2"},
            {"pari", t(arrotondaPari(2.5)) + t(arrotondaPari(3.5)), "24"},
            // Typed: "." groups thousands, "," starts the decimals.
            {"digitato, raggruppato", t(leggiNumeroDigitato(u"1.234.567")), "1234567"},
            {"digitato, decimali", t(leggiNumeroDigitato(u"1.234,75")), "1234.75"},
            {"digitato, negativo", t(leggiNumeroDigitato(u" -3 ")), "-3"},
            {"digitato, vuoto", t(leggiNumeroDigitato(u"  ")), "no"},
            {"digitato, lettere", t(leggiNumeroDigitato(u"12a")), "no"},
            {"digitato, gruppo di due", t(leggiNumeroDigitato(u"1.23")), "no"},
            {"digitato, gruppo di quattro", t(leggiNumeroDigitato(u"1.2345")), "no"},
            {"digitato, primo gruppo lungo", t(leggiNumeroDigitato(u"1234.567")), "no"},
            {"somma", t(sommaImporti(massimo - 1, 1)), "9223372036854775807"},
            {"somma oltre", t(sommaImporti(massimo, 1)), "no"},
            {"prodotto oltre", t(prodottoImporti(qint64(1) << 32, qint64(1) << 31)), "no"},
            {"prodotto negativo", t(prodottoImporti(-3, 1500)), "-4500"},
            // A stored day as the registers read and show it.
            {"giorno", testoGiorno(giornoIso("2024-02-29")), "29/02/2024"},
            {"giorno inesistente", testoGiorno(giornoIso("2000-02-31")), ""},
            {"giorno, cifre mancanti", testoGiorno(giornoIso("2000-1-01")), ""},
            {"giorno, barre", testoGiorno(giornoIso("2000/12/31")), ""},
            {"giorno, anno zero", testoGiorno(giornoIso("0000-05-10")), ""},
            // A day typed into a register's filter.
            {"filtro", giorno(u"05/12/2000"), "05/12/2000"},
            {"filtro, spazio", giorno(u" 1/01/2000"), "01/01/2000"},
            {"filtro inesistente", giorno(u"29/02/1999"), ""},
            {"filtro, lettere", giorno(u"aa/bb/cccc"), ""},
            {"filtro lungo", giorno(u"05/12/2000x"), ""},
            {"filtro corto", giorno(u"5/12/2000"), ""},
            {"filtro, trattino", giorno(u"05/12-2000"), ""},
            // Prices and pieces of the purchase window, pieces of the cart.
            {"riformatta", riformattaPrezzo(u"0012") + '|' + riformattaPrezzo(u"1234,75"), "12|1.234"},
            {"riformatta oltre 64 bit", riformattaPrezzo(u"99999999999999999999"), "99999999999999999999"},
            {"prezzo massimo", t(leggiPrezzo(u"2.147.483.647")), "2147483647"},
            {"prezzo oltre", t(leggiPrezzo(u"2.147.483.648")), "no"},
            {"prezzo negativo", t(leggiPrezzo(u"-5")), "no"},
            {"pezzi al pari", t(leggiPezzi(u"3.5")), "4"},
            {"pezzi massimi", t(leggiPezzi(u"32767")) + t(leggiPezzi(u"-32768")), "32767-32768"},
            {"pezzi oltre", t(leggiPezzi(u"32768")) + t(leggiPezzi(u"32767.5")), "nono"},
            {"pezzi sotto", t(leggiPezzi(u"-32769")), "no"},
            {"pezzi senza numero", t(leggiPezzi(u"abc")) + t(leggiPezzi(QString(400, u'9'))), "nono"},
            {"carrello", t(leggiPezziCarrello(u"abc")) + t(leggiPezziCarrello(u"40000")), "0no"},
            // The statistics year: its leading number, halves to even.
            {"anno", QString::number(annoScelto(u" 2024x")), "2024"},
            {"anno al pari", QString::number(annoScelto(u"2023.5") + annoScelto(u"2024.5")), "4048"},
            {"anno senza numero", QString::number(annoScelto(u"abc") + annoScelto(u"1e20")), "0"},
        };
        for (const auto &[nome, dato, atteso] : righe)
            QTest::newRow(nome) << dato << QString::fromUtf8(atteso);
    }

    void regole()
    {
        QFETCH(QString, dato);
        QFETCH(QString, atteso);
        QCOMPARE(dato, atteso);
    }
};

QTEST_GUILESS_MAIN(TestRegole)
#include "tst_regole.moc"
